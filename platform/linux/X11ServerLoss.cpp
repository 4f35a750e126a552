#include "X11ServerLoss.h"

#include <X11/Xlib.h>
#include <cstdio>

namespace trelk::x11 {

namespace {

// Returning (instead of exiting) is what XSetIOErrorExitHandler allows since libX11 1.7: the
// display is marked broken and the call that noticed returns a failure.
void MarkLost(Display* /*display*/, void* lost) {
    if (lost != nullptr) {
        static_cast<std::atomic<bool>*>(lost)->store(true);
    }
}

int ReportLoss(Display* display) {
    std::fprintf(stderr, "X connection to %s broken (server shutdown or log-out).\n",
                 XDisplayString(display));
    return 0;
}

} // namespace

void SurviveServerLoss(Display* display, std::atomic<bool>* lost) {
    if (display != nullptr) {
        XSetIOErrorExitHandler(display, MarkLost, lost);
    }
}

void ReportServerLossOnly() {
    XSetIOErrorHandler(ReportLoss);
}

} // namespace trelk::x11
