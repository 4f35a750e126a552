#pragma once

#include <cstdint>

struct _XDisplay;

namespace nexacomms {

// Errors the X server sends on this display reach us instead of the process-wide Xlib error
// handler, whose default ends the process: the library must never end the program it is
// loaded into because a request of its own failed (a shared-memory segment the server cannot
// attach, a window that has gone). They are counted, so a caller can tell whether a request
// was refused (ErrorCount before, XSync, ErrorCount after).
//
// Call once per display, after the extensions it uses have been queried (a query may install
// the extension's own conversion for its error codes). Safe for one display per process.
void TrapErrors(_XDisplay* display);

std::uint64_t ErrorCount();

} // namespace nexacomms
