#include "X11Desktop.h"

#include "X11Monitors.h"
#include "X11ServerLoss.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QVariant>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <xcb/xcb.h>

// Xlib last: its macros (Bool, Status) break other headers.
#include "X11ErrorTrap.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace trelk {

namespace {

// Top-level windows are children of the root; a reparenting window manager puts the client
// window one or two levels below its frame.
constexpr int SearchDepth = 3;

// Longest title read, in 32-bit units as XGetWindowProperty counts.
constexpr long MaxTitleUnits = 16384;

bool PropertyEquals(Display* display, Window window, Atom property, const std::string& title) {
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long itemCount = 0;
    unsigned long bytesAfter = 0;
    unsigned char* data = nullptr;
    const int status =
        XGetWindowProperty(display, window, property, 0, MaxTitleUnits, False, AnyPropertyType,
                           &actualType, &actualFormat, &itemCount, &bytesAfter, &data);
    bool equal = false;
    if (status == Success && data != nullptr && actualFormat == 8 && bytesAfter == 0) {
        equal = std::string(reinterpret_cast<const char*>(data), itemCount) == title;
    }
    if (data != nullptr) {
        XFree(data);
    }
    return equal;
}

// The action field of a _NET_WM_STATE client message.
constexpr long NetWmStateRemove = 0;
constexpr long NetWmStateAdd = 1;
// "Normal application" as the source of the request.
constexpr long SourceApplication = 1;

// Longest state list read, in atoms.
constexpr long MaxStateAtoms = 64;

} // namespace

X11Desktop::~X11Desktop() {
    if (search_ != nullptr) {
        xcb_disconnect(search_);
    }
    if (display_ != nullptr) {
        if (appWindow_ != 0) {
            XDestroyWindow(display_, appWindow_);
        }
        XCloseDisplay(display_);
    }
}

Display* X11Desktop::display() const {
    // Tried again at every call until it works: failing fast costs nothing without $DISPLAY,
    // and a server that was restarting becomes usable.
    if (display_ == nullptr) {
        display_ = XOpenDisplay(nullptr);
        if (display_ != nullptr) {
            // After log-out every call answers false; the program's own shutdown ends it.
            x11::SurviveServerLoss(display_);
            wmName_ = XInternAtom(display_, "WM_NAME", False);
            netWmName_ = XInternAtom(display_, "_NET_WM_NAME", False);
            stringType_ = XInternAtom(display_, "STRING", False);
            utf8StringType_ = XInternAtom(display_, "UTF8_STRING", False);
            netActiveWindow_ = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);
        }
    }
    return display_;
}

bool X11Desktop::canSearchWindows() const {
    return display() != nullptr;
}

bool X11Desktop::topLevelWindowExists(const std::string& title) {
    xcb_connection_t* const connection = searchConnection();
    return connection != nullptr && searchForTitle(connection, title) != 0;
}

std::optional<ScreenArea> X11Desktop::monitorShowingWindow(const std::string& title) {
    Display* const d = display();
    xcb_connection_t* const connection = searchConnection();
    if (d == nullptr || connection == nullptr) {
        return std::nullopt;
    }
    const std::vector<Monitor> monitors = x11::ListMonitors(d);
    if (monitors.size() < 2) {
        return std::nullopt; // one monitor: no need to look for the window
    }
    const unsigned long window = searchForTitle(connection, title);
    if (window == 0) {
        return std::nullopt;
    }
    x11::ErrorTrap trap(d);
    const std::optional<ScreenArea> area = x11::WindowArea(d, window);
    if (!area || trap.errorSeen()) {
        return std::nullopt; // the window went meanwhile
    }
    return MonitorHoldingMost(monitors, *area);
}

xcb_connection_t* X11Desktop::searchConnection() {
    // A connection the server dropped (log-out, a restart) is opened anew at the next search.
    if (search_ != nullptr && xcb_connection_has_error(search_) != 0) {
        xcb_disconnect(search_);
        search_ = nullptr;
    }
    if (search_ == nullptr) {
        int screenNumber = 0;
        xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(connection) != 0) {
            xcb_disconnect(connection);
            return nullptr;
        }
        xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
        for (int n = 0; n < screenNumber && screens.rem > 0; ++n) {
            xcb_screen_next(&screens);
        }
        const auto intern = [connection](const char* name) -> unsigned long {
            xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
                connection,
                xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
                nullptr);
            const unsigned long atom = reply != nullptr ? reply->atom : 0;
            std::free(reply);
            return atom;
        };
        searchRoot_ = screens.data->root;
        searchWmName_ = XCB_ATOM_WM_NAME;
        searchNetWmName_ = intern("_NET_WM_NAME");
        search_ = connection;
    }
    return search_;
}

unsigned long X11Desktop::searchForTitle(xcb_connection_t* connection, const std::string& title) {
    // Level by level from the root, SearchDepth levels deep: the children of a whole level are
    // asked for at once, then both titles of each of them at once. Requests about windows that
    // vanished meanwhile come back as errors and simply do not match.
    std::vector<xcb_window_t> level{static_cast<xcb_window_t>(searchRoot_)};
    for (int depth = 0; depth < SearchDepth && !level.empty(); ++depth) {
        std::vector<xcb_query_tree_cookie_t> trees;
        trees.reserve(level.size());
        for (const xcb_window_t window : level) {
            trees.push_back(xcb_query_tree(connection, window));
        }
        std::vector<xcb_window_t> children;
        for (const xcb_query_tree_cookie_t cookie : trees) {
            xcb_generic_error_t* error = nullptr;
            xcb_query_tree_reply_t* reply = xcb_query_tree_reply(connection, cookie, &error);
            std::free(error); // the window has gone
            if (reply != nullptr) {
                const xcb_window_t* first = xcb_query_tree_children(reply);
                // Topmost first: a recent window is the likelier match.
                for (int i = xcb_query_tree_children_length(reply); i > 0; --i) {
                    children.push_back(first[i - 1]);
                }
                std::free(reply);
            }
        }
        std::vector<xcb_get_property_cookie_t> titles;
        titles.reserve(2 * children.size());
        for (const xcb_window_t window : children) {
            for (const unsigned long property : {searchNetWmName_, searchWmName_}) {
                titles.push_back(xcb_get_property(
                    connection, 0, window, static_cast<xcb_atom_t>(property),
                    XCB_GET_PROPERTY_TYPE_ANY, 0, static_cast<std::uint32_t>(MaxTitleUnits)));
            }
        }
        bool found = false;
        xcb_window_t match = 0;
        for (std::size_t n = 0; n < titles.size(); ++n) {
            const xcb_get_property_cookie_t cookie = titles[n];
            if (found) {
                xcb_discard_reply(connection, cookie.sequence);
                continue;
            }
            xcb_generic_error_t* error = nullptr;
            xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, &error);
            std::free(error);
            if (reply != nullptr) {
                found =
                    reply->format == 8 && reply->bytes_after == 0 &&
                    std::string(static_cast<const char*>(xcb_get_property_value(reply)),
                                static_cast<std::size_t>(xcb_get_property_value_length(reply))) ==
                        title;
                std::free(reply);
                if (found) {
                    match = children[n / 2]; // two titles were asked of each child
                }
            }
        }
        if (found) {
            return match;
        }
        level = std::move(children);
    }
    return 0;
}

bool X11Desktop::foregroundWindowHasTitle(const std::string& title) {
    Display* const d = display();
    if (d == nullptr) {
        return false;
    }
    x11::ErrorTrap trap(d);
    Window front = activeWindow();
    if (front == None) {
        front = focusedTopLevel();
    }
    if (front == None) {
        return false;
    }
    // A reparenting window manager's frame holds the client window that carries the title.
    const bool found = windowHasTitle(front, title) || treeHasTitle(front, title, SearchDepth - 1);
    return found && !trap.errorSeen();
}

unsigned long X11Desktop::activeWindow() const {
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long itemCount = 0;
    unsigned long bytesAfter = 0;
    unsigned char* data = nullptr;
    Window active = None;
    if (XGetWindowProperty(display_, XDefaultRootWindow(display_), netActiveWindow_, 0, 1, False,
                           XA_WINDOW, &actualType, &actualFormat, &itemCount, &bytesAfter,
                           &data) == Success &&
        data != nullptr && actualType == XA_WINDOW && actualFormat == 32 && itemCount == 1) {
        // Format 32 items come as longs, whatever the width of the server's values.
        active = static_cast<Window>(*reinterpret_cast<const long*>(data));
    }
    if (data != nullptr) {
        XFree(data);
    }
    return active;
}

unsigned long X11Desktop::focusedTopLevel() const {
    Window focus = None;
    int revertTo = 0;
    XGetInputFocus(display_, &focus, &revertTo);
    const Window rootWindow = XDefaultRootWindow(display_);
    if (focus == None || focus == PointerRoot || focus == rootWindow) {
        return None;
    }
    // Up to the child of the root: the top-level window (or its frame).
    for (Window window = focus;;) {
        Window root = None;
        Window parent = None;
        Window* children = nullptr;
        unsigned int childCount = 0;
        if (XQueryTree(display_, window, &root, &parent, &children, &childCount) == 0) {
            return None; // the window has gone
        }
        if (children != nullptr) {
            XFree(children);
        }
        if (parent == root || parent == None) {
            return window;
        }
        window = parent;
    }
}

bool X11Desktop::treeHasTitle(unsigned long window, const std::string& title, int depth) const {
    Window root = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned int childCount = 0;
    if (XQueryTree(display_, window, &root, &parent, &children, &childCount) == 0) {
        return false; // the window has gone
    }
    bool found = false;
    // Topmost first: a recent window is the likelier match.
    for (unsigned int i = childCount; i > 0 && !found; --i) {
        found = windowHasTitle(children[i - 1], title);
    }
    for (unsigned int i = childCount; i > 0 && !found && depth > 1; --i) {
        found = treeHasTitle(children[i - 1], title, depth - 1);
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

bool X11Desktop::windowHasTitle(unsigned long window, const std::string& title) const {
    return PropertyEquals(display_, window, netWmName_, title) ||
           PropertyEquals(display_, window, wmName_, title);
}

bool X11Desktop::publishApplicationWindow(const std::string& title) {
    Display* const d = display();
    if (d == nullptr) {
        return false;
    }
    x11::ErrorTrap trap(d);
    if (appWindow_ == 0) {
        // Never mapped: it only carries the title for other processes to find.
        appWindow_ = XCreateSimpleWindow(d, XDefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
    }
    setTitle(appWindow_, title);
    if (trap.errorSeen()) {
        XDestroyWindow(d, appWindow_);
        appWindow_ = 0;
        return false;
    }
    return true;
}

void X11Desktop::setTitle(unsigned long window, const std::string& title) const {
    const auto* bytes = reinterpret_cast<const unsigned char*>(title.data());
    const int length = static_cast<int>(title.size());
    XChangeProperty(display_, window, wmName_, stringType_, 8, PropModeReplace, bytes, length);
    XChangeProperty(display_, window, netWmName_, utf8StringType_, 8, PropModeReplace, bytes,
                    length);
    XFlush(display_);
}

void X11Desktop::setTaskBarButton(unsigned long window, bool shown) {
    Display* const d = display();
    if (d == nullptr || window == 0) {
        return;
    }
    x11::ErrorTrap trap(d);
    const Atom state = XInternAtom(d, "_NET_WM_STATE", False);
    const Atom skipTaskBar = XInternAtom(d, "_NET_WM_STATE_SKIP_TASKBAR", False);
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(d, window, &attributes) == 0) {
        return; // the window has gone
    }
    if (attributes.map_state == IsUnmapped) {
        changeUnmappedState(window, skipTaskBar, !shown);
        return;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = state;
    event.xclient.format = 32;
    event.xclient.data.l[0] = shown ? NetWmStateRemove : NetWmStateAdd;
    event.xclient.data.l[1] = static_cast<long>(skipTaskBar);
    event.xclient.data.l[3] = SourceApplication;
    XSendEvent(d, XDefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
}

void X11Desktop::changeUnmappedState(unsigned long window, unsigned long state, bool add) const {
    // Other states set before the map (the toolkit's own) are kept.
    const Atom property = XInternAtom(display_, "_NET_WM_STATE", False);
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long itemCount = 0;
    unsigned long bytesAfter = 0;
    unsigned char* data = nullptr;
    std::vector<Atom> states;
    if (XGetWindowProperty(display_, window, property, 0, MaxStateAtoms, False, XA_ATOM,
                           &actualType, &actualFormat, &itemCount, &bytesAfter, &data) == Success &&
        data != nullptr && actualFormat == 32) {
        const auto* atoms = reinterpret_cast<const Atom*>(data);
        states.assign(atoms, atoms + itemCount);
    }
    if (data != nullptr) {
        XFree(data);
    }
    std::erase(states, static_cast<Atom>(state));
    if (add) {
        states.push_back(state);
    }
    XChangeProperty(display_, window, property, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(states.data()),
                    static_cast<int>(states.size()));
}

bool X11Desktop::trayDeliversSingleClicksOnly() const {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    QDBusInterface watcher(QStringLiteral("org.kde.StatusNotifierWatcher"),
                           QStringLiteral("/StatusNotifierWatcher"),
                           QStringLiteral("org.kde.StatusNotifierWatcher"), bus);
    return watcher.isValid() && watcher.property("IsStatusNotifierHostRegistered").toBool();
}

} // namespace trelk
