#pragma once

#include "platform/ports/DebugOutput.h"

#include <string_view>

namespace trelk {

// The one diagnostic output. Lines reach the debugger output only while the "DebugOutput"
// option is on at the moment of the call; nothing is buffered for later.
class TraceOutput {
public:
    explicit TraceOutput(DebugOutput& output) : output_(output) {}

    void Trace(std::string_view text) {
        if (enabled_) {
            output_.write(text);
        }
    }

    void setEnabled(bool enabled) { enabled_ = enabled; }
    bool enabled() const { return enabled_; }

private:
    DebugOutput& output_;
    // The stored debug state (default on) is applied late in start-up; until then tracing
    // stays off, so a user who switched it off never sees start-up lines.
    bool enabled_ = false;
};

} // namespace trelk
