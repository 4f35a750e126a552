#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace trelk {

// A rectangle of the screen in pixels: the top left corner (Left, Top) on the whole screen (all
// monitors), then its size.
struct ScreenArea {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    bool empty() const { return Width <= 0 || Height <= 0; }
    bool operator==(const ScreenArea&) const = default;
};

// One monitor as the window system lists them; primary is the one the pilot chose as main.
struct Monitor {
    ScreenArea Area;
    bool Primary = false;
};

// Pixels that two areas share.
inline std::int64_t OverlapPixels(const ScreenArea& a, const ScreenArea& b) {
    const std::int64_t left = a.Left > b.Left ? a.Left : b.Left;
    const std::int64_t top = a.Top > b.Top ? a.Top : b.Top;
    const std::int64_t right = std::int64_t{a.Left} + a.Width < std::int64_t{b.Left} + b.Width
                                   ? std::int64_t{a.Left} + a.Width
                                   : std::int64_t{b.Left} + b.Width;
    const std::int64_t bottom = std::int64_t{a.Top} + a.Height < std::int64_t{b.Top} + b.Height
                                    ? std::int64_t{a.Top} + a.Height
                                    : std::int64_t{b.Top} + b.Height;
    if (right <= left || bottom <= top) {
        return 0;
    }
    return (right - left) * (bottom - top);
}

// The monitor that shows most of the window. Where two show as much, the smaller wins (a
// monitor laid over two others is the less specific answer), then the primary, then the one
// listed first. None where the screen is one monitor or fewer, or no monitor shows any of the
// window: the whole screen is the window's then.
inline std::optional<ScreenArea> MonitorHoldingMost(const std::vector<Monitor>& monitors,
                                                    const ScreenArea& window) {
    if (monitors.size() < 2 || window.empty()) {
        return std::nullopt;
    }
    const Monitor* best = nullptr;
    std::int64_t bestOverlap = 0;
    for (const Monitor& monitor : monitors) {
        if (monitor.Area.empty()) {
            continue;
        }
        const std::int64_t overlap = OverlapPixels(monitor.Area, window);
        if (overlap <= 0) {
            continue;
        }
        if (best == nullptr || overlap > bestOverlap) {
            best = &monitor;
            bestOverlap = overlap;
            continue;
        }
        if (overlap < bestOverlap) {
            continue;
        }
        const std::int64_t size = std::int64_t{monitor.Area.Width} * monitor.Area.Height;
        const std::int64_t bestSize = std::int64_t{best->Area.Width} * best->Area.Height;
        if (size < bestSize || (size == bestSize && monitor.Primary && !best->Primary)) {
            best = &monitor;
        }
    }
    if (best == nullptr) {
        return std::nullopt;
    }
    return best->Area;
}

} // namespace trelk
