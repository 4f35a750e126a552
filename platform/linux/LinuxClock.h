#pragma once

#include "platform/ports/Clock.h"

namespace trelk {

// The system clocks: steady_clock for intervals, system_clock for dates and file names.
class LinuxClock final : public Clock {
public:
    std::int64_t monotonicMs() const override;
    std::int64_t wallClockMs() const override;
};

} // namespace trelk
