#include "LinuxDebugOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace trelk {

namespace {

void WriteAll(int fd, const std::string& data) {
    std::size_t written = 0;
    while (written < data.size()) {
        const ssize_t n = ::write(fd, data.data() + written, data.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return; // a trace that cannot be written is lost, never an error of the program
        }
        written += static_cast<std::size_t>(n);
    }
}

} // namespace

LinuxDebugOutput::LinuxDebugOutput() {
    // Decided once: standard error does not become a terminal later.
    toTerminal_ = ::isatty(STDERR_FILENO) == 1;
    const char* traceFile = std::getenv("TRELK_TRACE_FILE");
    if (traceFile != nullptr && *traceFile != '\0') {
        traceFd_ = ::open(traceFile, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
        if (traceFd_ < 0) {
            std::perror(traceFile);
        }
    }
}

LinuxDebugOutput::~LinuxDebugOutput() {
    if (traceFd_ >= 0) {
        ::close(traceFd_);
    }
}

void LinuxDebugOutput::write(std::string_view line) {
    std::string withNewline(line);
    withNewline += '\n';
    if (toTerminal_) {
        std::fwrite(withNewline.data(), 1, withNewline.size(), stderr);
        std::fflush(stderr);
    }
    if (traceFd_ >= 0) {
        // One write with O_APPEND: lines of concurrent writers never interleave.
        WriteAll(traceFd_, withNewline);
    }
}

} // namespace trelk
