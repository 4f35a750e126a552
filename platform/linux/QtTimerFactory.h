#pragma once

#include "platform/ports/Timers.h"

namespace trelk {

// Creates QtTimers; timers must be created and used on the main (Qt) thread.
class QtTimerFactory final : public TimerFactory {
public:
    std::unique_ptr<Timer> createTimer(std::string name, int intervalMs) override;
};

} // namespace trelk
