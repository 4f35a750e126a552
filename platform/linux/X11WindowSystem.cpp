#include "X11WindowSystem.h"

#include <cstdlib>
#include <xcb/xcb.h>

namespace trelk {

std::string UseX11WindowSystem() {
    // Wayland's plugin would give the window a handle that is no X window: the hook could not
    // notify it and the hook filter would install nothing.
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        return "TrelkPro needs an X display, and DISPLAY is not set. On a Wayland desktop it "
               "runs on XWayland: start it from the desktop session with XWayland enabled.";
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool answered = connection != nullptr && xcb_connection_has_error(connection) == 0;
    if (connection != nullptr) {
        xcb_disconnect(connection);
    }
    if (!answered) {
        return std::string("TrelkPro cannot open the X display \"") + display +
               "\". On a Wayland desktop it runs on XWayland: check that XWayland is enabled.";
    }
    return {};
}

} // namespace trelk
