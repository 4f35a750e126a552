#pragma once

#include <atomic>

struct _XDisplay;

namespace trelk::x11 {

// Xlib answers a broken connection (the X server ended, as at log-out) with exit(), on
// whichever thread made the call that noticed it. On a worker thread that runs the static
// destructors under the main thread's feet: a crash, or a hang when the main thread is in
// exit() already. A display passed here survives instead: the call that noticed returns a
// failure, every later call on it fails quietly, and `lost` (when given; it must outlive the
// display) turns true. Ending the program is left to the main thread, whose own connection
// (Qt's) breaks at the same moment.
//
// Call right after XOpenDisplay, before any other request.
void SurviveServerLoss(_XDisplay* display, std::atomic<bool>* lost = nullptr);

// Xlib first calls the process-wide I/O error handler, and the default one (which Qt's ends
// in) exits there, before a display's own choice is asked. This installs one that only
// reports the broken connection, so each display's exit handler decides: those passed to
// SurviveServerLoss survive, every other one still exits as before.
//
// For the program to call once, on the main thread, after Qt has installed its handler
// (after QApplication is created).
void ReportServerLossOnly();

} // namespace trelk::x11
