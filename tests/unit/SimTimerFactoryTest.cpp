// The manual timers are what every timing test stands on: they must fire like a real loop.

#include "platform/sim/SimTimerFactory.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace trelk {
namespace {

TEST(SimTimerFactoryTest, FiresDueTimersInTimeOrderWithTheClockAtTheirTick) {
    ManualClock clock;
    SimTimerFactory timers(clock);
    std::vector<std::string> fired;
    auto fast = timers.createTimer("fast", 200);
    auto slow = timers.createTimer("slow", 500);
    fast->setHandler([&] { fired.push_back("fast@" + std::to_string(clock.monotonicMs())); });
    slow->setHandler([&] { fired.push_back("slow@" + std::to_string(clock.monotonicMs())); });
    fast->setEnabled(true);
    slow->setEnabled(true);

    timers.advance(1000);
    EXPECT_EQ(fired, (std::vector<std::string>{"fast@200", "fast@400", "slow@500", "fast@600",
                                               "fast@800", "fast@1000", "slow@1000"}));
    EXPECT_EQ(clock.monotonicMs(), 1000);
}

TEST(SimTimerFactoryTest, HandlerCanStopItselfAndStartAnother) {
    ManualClock clock;
    SimTimerFactory timers(clock);
    int onceTicks = 0;
    int laterTicks = 0;
    auto once = timers.createTimer("once", 100);
    auto later = timers.createTimer("later", 300);
    once->setHandler([&] {
        ++onceTicks;
        once->setEnabled(false);
        later->setEnabled(true); // due 300 ms after this tick, not after creation
    });
    later->setHandler([&] { ++laterTicks; });
    once->setEnabled(true);

    timers.advance(399);
    EXPECT_EQ(onceTicks, 1);
    EXPECT_EQ(laterTicks, 0);
    timers.advance(1);
    EXPECT_EQ(laterTicks, 1);
}

TEST(SimTimerFactoryTest, ReEnablingRestartsThePeriodAndDestroyedTimersAreForgotten) {
    ManualClock clock;
    SimTimerFactory timers(clock);
    int ticks = 0;
    auto timer = timers.createTimer("t", 1000);
    timer->setHandler([&] { ++ticks; });
    timer->setEnabled(true);
    timers.advance(900);
    timer->setEnabled(false);
    timer->setEnabled(true);
    timers.advance(900);
    EXPECT_EQ(ticks, 0);
    timers.advance(100);
    EXPECT_EQ(ticks, 1);

    timer.reset();
    timers.advance(5000);
    EXPECT_TRUE(timers.enabledTimers().empty());
}

} // namespace
} // namespace trelk
