#pragma once

#include "platform/ports/Desktop.h"

struct _XDisplay;
struct xcb_connection_t;

namespace trelk {

// The Desktop port on Xlib. Every raw Xlib call of the product's window search lives in this
// class, so a test against a live Xvfb runs exactly the product's code.
//
// The display connection is opened at first use (XOpenDisplay(nullptr), i.e. $DISPLAY) and
// held for the object's lifetime; while there is none, every call tries to open it and answers
// false when it cannot. Titles are compared byte for byte with _NET_WM_NAME (UTF-8) and
// WM_NAME. The search by title, which the game watcher runs every second, goes over an XCB
// connection of its own that asks for a whole level of the tree at once: a few round trips a
// search instead of several a window.
class X11Desktop final : public Desktop {
public:
    X11Desktop() = default;
    ~X11Desktop() override;
    X11Desktop(const X11Desktop&) = delete;
    X11Desktop& operator=(const X11Desktop&) = delete;

    bool topLevelWindowExists(const std::string& title) override;
    // The window manager's _NET_ACTIVE_WINDOW where one publishes it; otherwise the window
    // with the input focus, climbed up to its top-level window.
    bool foregroundWindowHasTitle(const std::string& title) override;
    bool publishApplicationWindow(const std::string& title) override;
    bool canSearchWindows() const override;
    // Asks the session bus whether a status-notifier host is registered: where one is, Qt
    // shows the tray icon through it, and it reports activations only.
    bool trayDeliversSingleClicksOnly() const override;
    // _NET_WM_STATE_SKIP_TASKBAR: written into the property of a window not yet mapped (the
    // window manager reads it at the map), asked of the window manager for a mapped one.
    void setTaskBarButton(unsigned long window, bool shown) override;
    // The monitors as RandR lists them; the window found as topLevelWindowExists finds it.
    std::optional<ScreenArea> monitorShowingWindow(const std::string& title) override;

private:
    _XDisplay* display() const;
    xcb_connection_t* searchConnection();
    // The first window with the title, topmost first at each level; 0 when there is none.
    unsigned long searchForTitle(xcb_connection_t* connection, const std::string& title);
    bool windowHasTitle(unsigned long window, const std::string& title) const;
    bool treeHasTitle(unsigned long window, const std::string& title, int depth) const;
    void setTitle(unsigned long window, const std::string& title) const;
    void changeUnmappedState(unsigned long window, unsigned long state, bool add) const;
    unsigned long activeWindow() const;
    unsigned long focusedTopLevel() const;

    mutable _XDisplay* display_ = nullptr;
    // Atoms, interned once the display is open.
    mutable unsigned long wmName_ = 0;
    mutable unsigned long netWmName_ = 0;
    mutable unsigned long stringType_ = 0;
    mutable unsigned long utf8StringType_ = 0;
    mutable unsigned long netActiveWindow_ = 0;
    unsigned long appWindow_ = 0;
    xcb_connection_t* search_ = nullptr;
    unsigned long searchRoot_ = 0;
    unsigned long searchWmName_ = 0;
    unsigned long searchNetWmName_ = 0;
};

} // namespace trelk
