#pragma once

// Where a key's way to the console's pixels has got to, for the latency benchmark
// (bench/ConsoleLatency.cpp). In a build configured with -DTRELK_STAGE_STAMPS=ON, each
// StageStamp appends "<stage> <CLOCK_MONOTONIC nanoseconds>\n" to the file named by the
// environment variable TRELK_STAGE_STAMPS (read at the first stamp; unset: nothing is written).
// In every other build it compiles to nothing, so the product carries no trace of it.
//
// Header only: the program and both libraries stamp, each with its own copy and descriptor.

#ifdef TRELK_STAGE_STAMPS

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace trelk {

inline void StageStamp(const char* stage) {
    static const int file = [] {
        const char* path = std::getenv("TRELK_STAGE_STAMPS");
        return path != nullptr && *path != '\0'
                   ? ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600)
                   : -1;
    }();
    if (file < 0) {
        return;
    }
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    char line[64];
    const int length =
        std::snprintf(line, sizeof line, "%s %lld\n", stage,
                      static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    // One write per line: lines of several threads and libraries never mix.
    if (length > 0 && static_cast<std::size_t>(length) < sizeof line) {
        [[maybe_unused]] const ssize_t written =
            ::write(file, line, static_cast<std::size_t>(length));
    }
}

} // namespace trelk

#else

namespace trelk {

inline void StageStamp(const char*) {}

} // namespace trelk

#endif
