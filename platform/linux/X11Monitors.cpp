#include "X11Monitors.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace trelk::x11 {

std::vector<Monitor> ListMonitors(Display* display) {
    std::vector<Monitor> monitors;
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (XRRQueryExtension(display, &eventBase, &errorBase) == 0 ||
        XRRQueryVersion(display, &major, &minor) == 0 || major < 1 || (major == 1 && minor < 5)) {
        return monitors;
    }
    int count = 0;
    XRRMonitorInfo* list = XRRGetMonitors(display, XDefaultRootWindow(display), True, &count);
    if (list == nullptr) {
        return monitors;
    }
    for (int i = 0; i < count; ++i) {
        monitors.push_back(
            {{list[i].x, list[i].y, list[i].width, list[i].height}, list[i].primary != 0});
    }
    XRRFreeMonitors(list);
    return monitors;
}

std::optional<ScreenArea> WindowArea(Display* display, unsigned long window) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) == 0 ||
        attributes.map_state != IsViewable) {
        return std::nullopt;
    }
    int left = 0;
    int top = 0;
    Window child = 0;
    if (XTranslateCoordinates(display, window, attributes.root, 0, 0, &left, &top, &child) == 0) {
        return std::nullopt;
    }
    return ScreenArea{left, top, attributes.width, attributes.height};
}

namespace {

constexpr int SearchDepth = 3;
constexpr long MaxTitleUnits = 16384;

bool HasTitle(Display* display, Window window, Atom property, const std::string& title) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    bool equal = false;
    if (XGetWindowProperty(display, window, property, 0, MaxTitleUnits, False, AnyPropertyType,
                           &type, &format, &count, &after, &data) == Success &&
        data != nullptr) {
        equal = format == 8 && after == 0 &&
                std::string(reinterpret_cast<const char*>(data), count) == title;
    }
    if (data != nullptr) {
        XFree(data);
    }
    return equal;
}

} // namespace

unsigned long FindWindowTitled(Display* display, const std::string& title) {
    const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    std::vector<Window> level{XDefaultRootWindow(display)};
    for (int depth = 0; depth < SearchDepth && !level.empty(); ++depth) {
        std::vector<Window> next;
        for (const Window parent : level) {
            Window root = 0;
            Window above = 0;
            Window* children = nullptr;
            unsigned int count = 0;
            if (XQueryTree(display, parent, &root, &above, &children, &count) == 0) {
                continue; // the window has gone
            }
            for (unsigned int i = count; i > 0; --i) {
                next.push_back(children[i - 1]);
            }
            if (children != nullptr) {
                XFree(children);
            }
        }
        for (const Window window : next) {
            if (HasTitle(display, window, netWmName, title) ||
                HasTitle(display, window, XA_WM_NAME, title)) {
                return window;
            }
        }
        level = std::move(next);
    }
    return 0;
}

} // namespace trelk::x11
