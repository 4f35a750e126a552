#include "GameMonitors.h"

#include "platform/linux/X11Monitors.h"

#include <X11/Xlib.h>

namespace voidline {

GameMonitors::GameMonitors() : display_(XOpenDisplay(nullptr)) {}

GameMonitors::~GameMonitors() {
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

std::vector<trelk::Monitor> GameMonitors::list() const {
    return display_ != nullptr ? trelk::x11::ListMonitors(display_) : std::vector<trelk::Monitor>{};
}

QRect GameMonitors::screenOf(const QRect& window) const {
    if (display_ == nullptr) {
        return {};
    }
    const int screen = XDefaultScreen(display_);
    const trelk::ScreenArea area =
        trelk::MonitorHoldingMost(list(), {window.x(), window.y(), window.width(), window.height()})
            .value_or(trelk::ScreenArea{0, 0, XDisplayWidth(display_, screen),
                                        XDisplayHeight(display_, screen)});
    return {area.Left, area.Top, area.Width, area.Height};
}

} // namespace voidline
