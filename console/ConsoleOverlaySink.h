#pragma once

#include <cstdint>

class QImage;

namespace trelk {

// What the console page needs of the overlay library: the calls it makes while drawing,
// showing and hiding. The page traces every call itself (the trace text depends on the call
// site), so an implementation only forwards.
class ConsoleOverlaySink {
public:
    virtual ~ConsoleOverlaySink() = default;

    virtual void SetConsoleMode(int mode) = 0;
    virtual void SetConsolePosition(std::uint8_t x, std::uint8_t y) = 0;
    virtual void SetColorValue(std::uint8_t opacity, std::uint8_t red, std::uint8_t green,
                               std::uint8_t blue) = 0;
    // The picture stays valid until the next call hands another one.
    virtual void SetNewBitmap(const QImage& picture) = 0;
    virtual void ShowConsole(bool show) = 0;
    virtual void SetPopupSpeed(std::uint8_t speed) = 0;
};

} // namespace trelk
