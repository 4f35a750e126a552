#pragma once

#include "console/ConsoleOverlaySink.h"
#include "console/OverlayLibrary.h"

#include <QImage>

namespace trelk {

// The console page's calls, made through the bound overlay library. The page traces each call
// in its own words, so the library's wrappers stay silent.
class OverlayConsoleSink final : public ConsoleOverlaySink {
public:
    explicit OverlayConsoleSink(OverlayLibrary& library) : library_(library) {}

    void SetConsoleMode(int mode) override {
        library_.NexaCSetConsoleMode(mode, TraceAs::Silent());
    }
    void SetConsolePosition(std::uint8_t x, std::uint8_t y) override {
        library_.NexaCSetConsolePosition(x, y, TraceAs::Silent());
    }
    void SetColorValue(std::uint8_t opacity, std::uint8_t red, std::uint8_t green,
                       std::uint8_t blue) override {
        library_.NexaCSetColorValue(opacity, red, green, blue, TraceAs::Silent());
    }
    // The library copies the pixels before it returns.
    void SetNewBitmap(const QImage& picture) override {
        const QImage rgb = picture.format() == QImage::Format_RGB32
                               ? picture
                               : picture.convertToFormat(QImage::Format_RGB32);
        const NexacommsBitmap bitmap{static_cast<std::uint32_t>(rgb.width()),
                                     static_cast<std::uint32_t>(rgb.height()),
                                     static_cast<std::uint32_t>(rgb.bytesPerLine()),
                                     reinterpret_cast<const std::uint32_t*>(rgb.constBits())};
        library_.NexaCSetNewBitmap(bitmap, TraceAs::Silent());
    }
    void ShowConsole(bool show) override { library_.NexaCShowConsole(show, TraceAs::Silent()); }
    void SetPopupSpeed(std::uint8_t speed) override {
        library_.NexaCSetPopupSpeed(speed, TraceAs::Silent());
    }

private:
    OverlayLibrary& library_;
};

} // namespace trelk
