#include "X11ErrorTrap.h"

namespace trelk::x11 {

namespace {

bool g_xErrorSeen = false;

int RecordXError(Display* /*display*/, XErrorEvent* /*event*/) {
    g_xErrorSeen = true;
    return 0;
}

} // namespace

ErrorTrap::ErrorTrap(Display* display) : display_(display) {
    XSync(display_, False);
    g_xErrorSeen = false;
    previous_ = XSetErrorHandler(RecordXError);
}

ErrorTrap::~ErrorTrap() {
    XSync(display_, False);
    XSetErrorHandler(previous_);
}

bool ErrorTrap::errorSeen() {
    XSync(display_, False);
    return g_xErrorSeen;
}

} // namespace trelk::x11
