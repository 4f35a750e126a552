#pragma once

#include <string_view>

namespace trelk {

// The system's debugger output: a channel that an external viewer can follow. Receives one
// finished trace line per call (no trailing newline).
class DebugOutput {
public:
    virtual ~DebugOutput() = default;
    virtual void write(std::string_view line) = 0;
};

} // namespace trelk
