#pragma once

#include "console/ConsoleOverlaySink.h"
#include "platform/ports/DebugOutput.h"

#include <QGuiApplication>
#include <QImage>
#include <benchmark/benchmark.h>

namespace trelk::bench {

// Trace lines go nowhere, but are still formatted.
class NullOutput final : public DebugOutput {
public:
    void write(std::string_view line) override { benchmark::DoNotOptimize(line.data()); }
};

// Holds the picture as the overlay library does, so a redraw pays for the copy it forces.
class HoldingOverlay final : public ConsoleOverlaySink {
public:
    void SetConsoleMode(int) override {}
    void SetConsolePosition(std::uint8_t, std::uint8_t) override {}
    void SetColorValue(std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t) override {}
    void SetNewBitmap(const QImage& picture) override { held_ = picture; }
    void ShowConsole(bool) override {}
    void SetPopupSpeed(std::uint8_t) override {}

private:
    QImage held_;
};

// A 256-colour background like the one the program ships with.
inline QImage GradientBackground() {
    QImage background(256, 256, QImage::Format_Indexed8);
    background.setColorCount(256);
    for (int i = 0; i < 256; ++i) {
        background.setColor(i, qRgb(i, i / 2, 255 - i));
    }
    background.fill(40);
    return background;
}

// The console draws text through Qt's font system, which needs an application object; the
// offscreen platform gives one without a display.
inline void EnsureGuiApplication() {
    if (QCoreApplication::instance() == nullptr) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "bench";
        static char* argv[] = {name, nullptr};
        static QGuiApplication app(argc, argv);
    }
}

} // namespace trelk::bench
