#pragma once

#include "ManualClock.h"
#include "platform/ports/Timers.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace trelk {

class SimTimer;

// Timers on the manual clock. advance() moves the clock in steps, firing every due timer in
// time order (ties in creation order), so a handler that starts or stops other timers sees
// exactly the schedule a real message loop would give it.
class SimTimerFactory final : public TimerFactory {
public:
    explicit SimTimerFactory(ManualClock& clock) : clock_(clock) {}
    ~SimTimerFactory() override;

    std::unique_ptr<Timer> createTimer(std::string name, int intervalMs) override;

    // Moves the clock by ms, firing due timers on the way.
    void advance(std::int64_t ms);

    // Inspection: the names of the enabled timers.
    std::vector<std::string> enabledTimers() const;
    const Timer* find(const std::string& name) const;

private:
    friend class SimTimer;
    SimTimer* nextDue(std::int64_t until) const;

    ManualClock& clock_;
    std::vector<SimTimer*> timers_;
};

} // namespace trelk
