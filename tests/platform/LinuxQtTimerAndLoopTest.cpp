// QtTimer and QtEventLoop on a real QCoreApplication. Nothing here asserts on how long a tick
// takes: the tests wait (generously) for events to happen and check what happened.

#include "platform/linux/QtEventLoop.h"
#include "platform/linux/QtTimerFactory.h"
#include "support/LinuxTestSupport.h"

#include <gtest/gtest.h>
#include <thread>

namespace trelk {
namespace {

// Runs the loop for a short while, for ticks that must not come.
void PumpBriefly() {
    linuxtest::WaitUntil([] { return false; }, std::chrono::milliseconds(30));
}

class LinuxQtTimerTest : public ::testing::Test {
protected:
    void SetUp() override { linuxtest::TestApplication(); }
    QtTimerFactory factory;
};

TEST_F(LinuxQtTimerTest, AHandlerThatDisablesItsTimerRunsOnceAndTheTimerKeepsItsState) {
    std::unique_ptr<Timer> timer = factory.createTimer("tmrOnce", 1);
    EXPECT_FALSE(timer->enabled());
    timer->setTag(7);
    int ticks = 0;
    timer->setHandler([&] {
        ++ticks;
        timer->setEnabled(false);
    });
    timer->setEnabled(true);

    ASSERT_TRUE(linuxtest::WaitUntil([&] { return ticks > 0; }));
    PumpBriefly();
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer->enabled());
    EXPECT_EQ(timer->tag(), 7);
    EXPECT_EQ(timer->interval(), 1);
    EXPECT_EQ(timer->name(), "tmrOnce");
}

TEST_F(LinuxQtTimerTest, AHandlerMayDestroyItsOwnTimer) {
    std::unique_ptr<Timer> timer = factory.createTimer("tmrGone", 1);
    int ticks = 0;
    // The handler goes on using what it captured after the timer (and with it the handler
    // object) is gone; a sanitizer build catches a timer that runs the handler in place.
    timer->setHandler([&] {
        timer.reset();
        ++ticks;
    });
    timer->setEnabled(true);

    ASSERT_TRUE(linuxtest::WaitUntil([&] { return ticks > 0; }));
    PumpBriefly();
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(timer, nullptr);
}

TEST_F(LinuxQtTimerTest, ANewIntervalAppliesToARunningTimerAndZeroStopsIt) {
    std::unique_ptr<Timer> timer = factory.createTimer("tmrPoll", 3600 * 1000);
    int ticks = 0;
    timer->setHandler([&] { ++ticks; });
    timer->setEnabled(true);
    timer->setInterval(1);
    ASSERT_TRUE(linuxtest::WaitUntil([&] { return ticks > 0; }));

    // A window timer with interval 0 does not run (a QTimer would fire at every pass).
    timer->setInterval(0);
    const int before = ticks;
    PumpBriefly();
    EXPECT_EQ(ticks, before);
    EXPECT_TRUE(timer->enabled());
}

TEST(LinuxQtEventLoopTest, WorkPostedFromAnotherThreadRunsOnTheMainThreadInOrder) {
    linuxtest::TestApplication();
    QtEventLoop loop;
    const std::thread::id mainThread = std::this_thread::get_id();
    std::vector<int> order;
    std::vector<std::thread::id> threads;
    std::thread worker([&] {
        for (int i = 1; i <= 3; ++i) {
            loop.post([&, i] {
                order.push_back(i);
                threads.push_back(std::this_thread::get_id());
            });
        }
    });
    worker.join();
    EXPECT_TRUE(order.empty()) << "posted work waits for the main loop";

    ASSERT_TRUE(linuxtest::WaitUntil([&] {
        loop.processPendingMessages();
        return order.size() >= 3;
    }));
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(threads, std::vector<std::thread::id>(3, mainThread));
}

} // namespace
} // namespace trelk
