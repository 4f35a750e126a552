#include "ErrorTrap.h"

#include <atomic>

// Xlibint.h declares the per-display error hook; its macros (min, max, Data) stay in this file.
#include <X11/Xlib.h>
#include <X11/Xlibint.h>

namespace nexacomms {

namespace {

std::atomic<std::uint64_t> g_errors{0};

int Trap(Display* /*display*/, xError* /*error*/, XExtCodes* /*codes*/, int* result) {
    g_errors.fetch_add(1);
    *result = 0;
    return 1; // handled: the process-wide handler is not called
}

} // namespace

void TrapErrors(Display* display) {
    if (XExtCodes* codes = XAddExtension(display)) {
        XESetError(display, codes->extension, Trap);
    }
}

std::uint64_t ErrorCount() {
    return g_errors.load();
}

} // namespace nexacomms
