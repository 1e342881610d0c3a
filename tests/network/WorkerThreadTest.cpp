#include "network/protocol/WorkerThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>

namespace {

using net::WorkerThread;

TEST(WorkerThread, RunsTheCallableAndJoinsOnDestruction) {
    std::atomic<int> runs = 0;
    {
        WorkerThread worker;
        ASSERT_TRUE(worker.start([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            ++runs;
        }));
    }
    EXPECT_EQ(runs.load(), 1);
}

TEST(WorkerThread, AnExceptionStaysOnItsThread) {
    WorkerThread worker;
    ASSERT_TRUE(worker.start([] { throw std::runtime_error("lost printer"); }));
    worker.join();
    EXPECT_TRUE(worker.failed());
    EXPECT_FALSE(worker.running());
}

TEST(WorkerThread, StartingAgainJoinsTheEarlierThreadFirst) {
    std::atomic<int> running = 0;
    std::atomic<int> mostAtOnce = 0;
    auto work = [&] {
        const int now = ++running;
        if (now > mostAtOnce) mostAtOnce = now;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        --running;
    };
    WorkerThread worker;
    ASSERT_TRUE(worker.start(work));
    ASSERT_TRUE(worker.start(work));
    worker.join();
    EXPECT_EQ(mostAtOnce.load(), 1);
    EXPECT_FALSE(worker.failed());
}

TEST(WorkerThread, RunningUntilTheCallableReturns) {
    std::atomic<bool> release = false;
    WorkerThread worker;
    EXPECT_FALSE(worker.running());
    ASSERT_TRUE(worker.start([&] {
        while (!release) std::this_thread::yield();
    }));
    EXPECT_TRUE(worker.running());
    release = true;
    worker.join();
    EXPECT_FALSE(worker.running());
}

}  // namespace
