#include "CommandListStepper.h"

namespace trelk {

CommandListStepper::CommandListStepper(TimerFactory& timers, std::string timerName)
    : timer_(timers.createTimer(std::move(timerName), IdleMs)) {
    Timer* timer = timer_.get();
    timer_->setHandler([timer] {
        timer->setTag(1);
        timer->setEnabled(false);
    });
    timer_->setEnabled(true);
}

int CommandListStepper::Step(int index, int count, bool backwards) {
    timer_->setEnabled(false);
    if (count < 1) {
        return 1;
    }
    if (!Expired()) {
        index += backwards ? -1 : 1;
    }
    if (index > count) {
        index = backwards ? count : 1;
    } else if (index < 1) {
        index = backwards ? count : 1;
    }
    return index;
}

void CommandListStepper::Restart() {
    timer_->setTag(0);
    timer_->setEnabled(true);
}

} // namespace trelk
