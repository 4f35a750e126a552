#pragma once

#include "platform/ports/Monitors.h"

#include <optional>
#include <string>
#include <vector>

struct _XDisplay;

namespace trelk::x11 {

// The monitors the server lists through RandR (the active ones, as `xrandr --listmonitors`
// shows them); empty where the server offers no RandR 1.5.
std::vector<Monitor> ListMonitors(_XDisplay* display);

// Where the window lies on the whole screen: its inside, without a window manager's frame.
// None when the window has gone or is not mapped; the caller traps the error of a window that
// vanished.
std::optional<ScreenArea> WindowArea(_XDisplay* display, unsigned long window);

// The first window, topmost first, up to three levels below the root (a window manager's frame
// holds the client window), whose _NET_WM_NAME or WM_NAME is exactly the title; 0 when none is.
// One request per window: for a caller that keeps what it found.
unsigned long FindWindowTitled(_XDisplay* display, const std::string& title);

} // namespace trelk::x11
