#pragma once

#include "Picture.h"

#include <string>

namespace nexacomms {

// One line per call into DIR/calls.log when NEXACOMMS_RECORD=DIR is set (read at each call,
// so a test may point it elsewhere); a picture is saved as DIR/console.png before its line, so
// a reader that sees the line finds the picture. With debug mode on, the line also goes to
// stderr. Safe from any thread.
void RecordCall(const std::string& line, const Picture* picture = nullptr);

void SetDebugLines(bool on);

// A line on stderr with debug mode on, and nowhere else: how the library works, not a call.
void DebugLine(const std::string& text);

} // namespace nexacomms
