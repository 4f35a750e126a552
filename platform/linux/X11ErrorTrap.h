#pragma once

#include <X11/Xlib.h>

namespace trelk::x11 {

// While it lives, X protocol errors (a window that vanished, a shared-memory segment the server
// cannot attach, a rectangle off a screen that just shrank) are recorded instead of ending the
// process through Xlib's default handler. The handler is process-wide, so the trap is kept
// only around the requests it guards.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display);
    ~ErrorTrap();
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    // Every error of the requests so far, after a round trip.
    bool errorSeen();

private:
    Display* display_;
    XErrorHandler previous_;
};

} // namespace trelk::x11
