#pragma once

#include "platform/ports/Clock.h"

#include <cstdint>

namespace trelk {

// A clock that moves only when the test moves it.
class ManualClock final : public Clock {
public:
    std::int64_t monotonicMs() const override { return monotonicMs_; }
    std::int64_t wallClockMs() const override { return wallClockMs_; }

    void advance(std::int64_t ms) {
        monotonicMs_ += ms;
        wallClockMs_ += ms;
    }
    void setWallClockMs(std::int64_t ms) { wallClockMs_ = ms; }

private:
    std::int64_t monotonicMs_ = 0;
    // 2026-12-08 12:00:00 UTC: a fixed, realistic date so file names and dates are stable.
    std::int64_t wallClockMs_ = 1796731200000;
};

} // namespace trelk
