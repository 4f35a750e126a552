#include "ErrorTrap.h"

#include <atomic>

// Xlibint.h declares the per-display error conversion; its macros (min, max, Data) stay in this
// file.
#include <X11/Xlib.h>
#include <X11/Xlibint.h>

namespace nexacomms {

namespace {

std::atomic<std::uint64_t> g_errors{0};

// Xlib turns every error from the server into an XErrorEvent through the display's conversion
// for its code, whichever call reads it, and drops the error when the conversion answers False.
Bool Trap(Display* /*display*/, XErrorEvent* /*event*/, xError* /*wire*/) {
    g_errors.fetch_add(1);
    return False;
}

} // namespace

void TrapErrors(Display* display) {
    // Code 0 is not an error; 1..255 are the core's and every extension's.
    for (int code = 1; code < 256; ++code) {
        XESetWireToError(display, code, Trap);
    }
}

std::uint64_t ErrorCount() {
    return g_errors.load();
}

} // namespace nexacomms
