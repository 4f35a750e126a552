#include "core/Worker.h"

#include "platform/sim/SimEventLoop.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace trelk {
namespace {

// Waits until the worker thread has posted its completion (never by sleeping a fixed time).
void waitForPosts(const SimEventLoop& loop, std::size_t count) {
    while (loop.pendingCount() < count) {
        std::this_thread::yield();
    }
}

TEST(WorkerTest, CompletionRunsOnTheMainThreadAndClearsRunning) {
    SimEventLoop loop;
    const auto mainThread = std::this_thread::get_id();
    std::vector<std::string> events;
    std::thread::id executeThread;
    Worker worker(loop, {.start = [&] { events.push_back("start"); },
                         .execute =
                             [&](Worker& self) {
                                 executeThread = std::this_thread::get_id();
                                 self.Update([&] { events.push_back("update"); });
                             },
                         .terminate =
                             [&] {
                                 EXPECT_EQ(std::this_thread::get_id(), mainThread);
                                 events.push_back("terminate");
                             }});

    ASSERT_TRUE(worker.Start());
    EXPECT_TRUE(worker.Running());
    waitForPosts(loop, 2);
    EXPECT_EQ(events, std::vector<std::string>{"start"}) << "nothing runs before the loop does";

    loop.processPendingMessages();
    EXPECT_NE(executeThread, mainThread);
    EXPECT_EQ(events, (std::vector<std::string>{"start", "update", "terminate"}));
    EXPECT_FALSE(worker.Running());
}

TEST(WorkerTest, SecondStartOfARunningWorkerDoesNothing) {
    SimEventLoop loop;
    std::atomic<bool> release{false};
    std::atomic<int> executions{0};
    int starts = 0;
    Worker worker(loop, {.start = [&] { ++starts; },
                         .execute =
                             [&](Worker&) {
                                 ++executions;
                                 while (!release) {
                                     std::this_thread::yield();
                                 }
                             },
                         .terminate = {}});
    ASSERT_TRUE(worker.Start());
    EXPECT_FALSE(worker.Start());
    release = true;
    waitForPosts(loop, 1);
    loop.processPendingMessages();
    EXPECT_EQ(executions, 1);
    EXPECT_EQ(starts, 1);

    // Once finished it can run again.
    EXPECT_TRUE(worker.Start());
    waitForPosts(loop, 1);
    loop.processPendingMessages();
    EXPECT_EQ(executions, 2);
}

TEST(WorkerTest, StopEndsTheJobAndDropsItsPendingCompletion) {
    SimEventLoop loop;
    bool terminated = false;
    bool updated = false;
    Worker worker(loop, {.start = {},
                         .execute =
                             [&](Worker& self) {
                                 while (!self.StopRequested()) {
                                     std::this_thread::yield();
                                 }
                                 self.Update([&] { updated = true; });
                             },
                         .terminate = [&] { terminated = true; }});
    ASSERT_TRUE(worker.Start());
    worker.Stop();
    EXPECT_FALSE(worker.Running());
    loop.processPendingMessages();
    EXPECT_FALSE(terminated);
    EXPECT_FALSE(updated);
}

TEST(WorkerTest, DestroyedWorkerIsNeverCalledBack) {
    SimEventLoop loop;
    bool terminated = false;
    {
        Worker worker(
            loop,
            {.start = {}, .execute = [](Worker&) {}, .terminate = [&] { terminated = true; }});
        worker.Start();
        waitForPosts(loop, 1);
    }
    loop.processPendingMessages();
    EXPECT_FALSE(terminated);
}

} // namespace
} // namespace trelk
