#include "QtTimerFactory.h"

#include "QtTimer.h"

namespace trelk {

std::unique_ptr<Timer> QtTimerFactory::createTimer(std::string name, int intervalMs) {
    return std::make_unique<QtTimer>(std::move(name), intervalMs);
}

} // namespace trelk
