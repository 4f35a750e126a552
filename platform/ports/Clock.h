#pragma once

#include <cstdint>

namespace trelk {

// Wall-clock and monotonic time as the subsystems see it. Nothing inside a subsystem reads the
// system clock directly, so tests can run hours of timer activity in microseconds.
class Clock {
public:
    virtual ~Clock() = default;

    // Milliseconds since an arbitrary fixed point; never goes backwards.
    virtual std::int64_t monotonicMs() const = 0;

    // Milliseconds since 1970-01-01 00:00 UTC (file names, dates, random seeds).
    virtual std::int64_t wallClockMs() const = 0;
};

} // namespace trelk
