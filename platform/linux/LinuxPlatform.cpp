#include "LinuxPlatform.h"

#include <cstdlib>
#include <ctime>
#include <string>

namespace trelk {

LinuxPlatform::LinuxPlatform(PlatformPaths paths)
    : paths_(std::move(paths)), userStore_(paths_.userStorePath) {}

void LinuxPlatform::setSessionEndHandler(std::function<void()> handler) {
    termination_.reset();
    if (handler) {
        termination_ = std::make_unique<TerminationSignals>(std::move(handler));
    }
}

void LinuxPlatform::markStartupComplete() {
    const char* path = std::getenv("TRELK_STARTUP_REPORT");
    if (path == nullptr || *path == '\0') {
        return;
    }
    // The benchmark compares it with its own CLOCK_MONOTONIC, in nanoseconds.
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long ns = static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
    // Replaced whole, so a reader polling the file never sees half a number.
    static_cast<void>(fileSystem_.replaceFile(path, std::to_string(ns)));
}

} // namespace trelk
