#include "LinuxClock.h"

#include <chrono>

namespace trelk {

namespace {

template <typename ClockType> std::int64_t MillisecondsSinceEpoch() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               ClockType::now().time_since_epoch())
        .count();
}

} // namespace

std::int64_t LinuxClock::monotonicMs() const {
    return MillisecondsSinceEpoch<std::chrono::steady_clock>();
}

std::int64_t LinuxClock::wallClockMs() const {
    return MillisecondsSinceEpoch<std::chrono::system_clock>();
}

} // namespace trelk
