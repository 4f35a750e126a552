#pragma once

#include "platform/ports/DebugOutput.h"

#include <string>

namespace trelk {

// The Linux stand-in for the Windows debugger output. Every line goes to syslog (ident
// "trelkpro", priority LOG_DEBUG; follow it with `journalctl -t trelkpro -f`) and to stderr.
// When TRELK_TRACE_FILE is set at construction, each line is also appended to that file with a
// newline, one write per line, so end-to-end tests (and several processes) can share it.
class LinuxDebugOutput final : public DebugOutput {
public:
    LinuxDebugOutput();
    ~LinuxDebugOutput() override;
    LinuxDebugOutput(const LinuxDebugOutput&) = delete;
    LinuxDebugOutput& operator=(const LinuxDebugOutput&) = delete;

    void write(std::string_view line) override;

private:
    int traceFd_ = -1;
};

} // namespace trelk
