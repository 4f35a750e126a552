#pragma once

#include "platform/ports/Monitors.h"

#include <optional>
#include <string>

namespace trelk {

// What the program needs of the window system: top-level windows found by exact title (the
// single-instance rule, the game's window), whether the window in front is the game's, and the
// hidden application window that carries the application's title for other processes to find.
// Titles are the core's byte strings; the titles the program uses are plain ASCII, the same in
// every encoding.
class Desktop {
public:
    virtual ~Desktop() = default;

    // True when a top-level window with exactly this title exists, shown or hidden.
    virtual bool topLevelWindowExists(const std::string& title) = 0;

    // True when the foreground window (the active top-level window, which has the keyboard
    // focus) has exactly this title; false when another window or none is in front.
    virtual bool foregroundWindowHasTitle(const std::string& title) = 0;

    // Creates (once) a hidden top-level window with this title, so that the next start finds
    // this process running. Returns false where the window system cannot hold one.
    virtual bool publishApplicationWindow(const std::string& title) = 0;

    // False where no window system is reachable (headless, offscreen).
    virtual bool canSearchWindows() const = 0;

    // True where the notification area tells the program of single clicks on its icon only,
    // never of a double click (status-notifier hosts); elsewhere a double click is told too.
    virtual bool trayDeliversSingleClicksOnly() const = 0;

    // Keeps one of the program's top-level windows (the window system's id) out of the task
    // bar, or gives it its button back. Window managers forget this when a window is hidden,
    // so it is said again at every show.
    virtual void setTaskBarButton(unsigned long window, bool shown) = 0;

    // The monitor that shows most of the top-level window with exactly this title, where the
    // screen is made of several monitors (MonitorHoldingMost); none where it is one monitor, no
    // such window exists or no monitor shows any of it: the whole screen is the window's then.
    // Asked anew at every call, so a window moved to another monitor is answered at once.
    virtual std::optional<ScreenArea> monitorShowingWindow(const std::string& title) = 0;
};

} // namespace trelk
