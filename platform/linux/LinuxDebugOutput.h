#pragma once

#include "platform/ports/DebugOutput.h"

#include <string>

namespace trelk {

// The Linux stand-in for the Windows debugger output, and as transient as it: a line is seen
// only by someone who is listening at that moment, and nothing is kept by the system. Key
// names are traced, so the trace never goes to syslog or a journal.
// - Standard error, only when it is a terminal (TrelkPro started from a shell). Started by a
//   desktop session, standard error is the session's journal: nothing is written there.
// - When TRELK_TRACE_FILE is set at construction, each line is appended to that file with a
//   newline, one write per line, so end-to-end tests (and several processes) can share it.
class LinuxDebugOutput final : public DebugOutput {
public:
    LinuxDebugOutput();
    ~LinuxDebugOutput() override;
    LinuxDebugOutput(const LinuxDebugOutput&) = delete;
    LinuxDebugOutput& operator=(const LinuxDebugOutput&) = delete;

    void write(std::string_view line) override;

private:
    bool toTerminal_ = false;
    int traceFd_ = -1;
};

} // namespace trelk
