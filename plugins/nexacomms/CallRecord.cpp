#include "CallRecord.h"

#include "PngWriter.h"
#include "plugins/nexacomms/NexacommsAbi.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace nexacomms {

namespace {

std::mutex g_recordMutex;
std::atomic<bool> g_debugLines{false};

void AppendLine(const std::string& path, const std::string& line) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
        return;
    }
    // One write per line: lines never mix, even with another process appending.
    const ssize_t written = ::write(fd, line.data(), line.size());
    (void)written;
    ::close(fd);
}

} // namespace

void RecordCall(const std::string& line, const Picture* picture) {
    if (g_debugLines.load()) {
        std::fprintf(stderr, "nexacomms: %s\n", line.c_str());
    }
    const char* folder = std::getenv(NEXACOMMS_RECORD_ENV);
    if (folder == nullptr || *folder == '\0') {
        return;
    }
    const std::string dir(folder);
    const std::lock_guard lock(g_recordMutex);
    if (picture != nullptr) {
        WritePng(*picture, dir + "/console.png");
    }
    AppendLine(dir + "/calls.log", line + "\n");
}

void DebugLine(const std::string& text) {
    if (g_debugLines.load()) {
        std::fprintf(stderr, "nexacomms: %s\n", text.c_str());
    }
}

void SetDebugLines(bool on) {
    g_debugLines.store(on);
}

} // namespace nexacomms
