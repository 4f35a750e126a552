#pragma once

// A console overlay nobody looks at, for rigs that need a page to draw into but never read
// the picture back. The picture is not kept, so the renderer draws the next one into the same
// pixels.

#include "console/ConsoleOverlaySink.h"

#include <QImage>
#include <cstdint>

namespace trelk::testing {

class NullOverlay final : public ConsoleOverlaySink {
public:
    void SetConsoleMode(int) override {}
    void SetConsolePosition(std::uint8_t, std::uint8_t) override {}
    void SetColorValue(std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t) override {}
    void SetNewBitmap(const QImage&) override {}
    void ShowConsole(bool) override {}
    void SetPopupSpeed(std::uint8_t) override {}
};

} // namespace trelk::testing
