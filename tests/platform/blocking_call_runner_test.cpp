#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "platform/linux/blocking_call_runner.h"

using namespace std::chrono_literals;

TEST(BlockingCallRunner, ACallInTimeReportsTrue)
{
    BlockingCallRunner runner;
    int value = 0;
    EXPECT_TRUE(runner.Run([&] { value = 42; }, 1000ms));
    EXPECT_EQ(value, 42);
    EXPECT_TRUE(runner.Run([&] { ++value; }, 1000ms));
    EXPECT_EQ(value, 43);
}

TEST(BlockingCallRunner, AnOverrunningCallTimesOutAndBlocksTheRunnerUntilItEnds)
{
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    auto finished = std::make_shared<std::atomic<int>>(0);

    BlockingCallRunner runner;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(runner.Run(
        [released, finished] {
            released.wait();
            ++*finished;
        },
        30ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);

    // Still busy: refused at once, and the refused call never runs.
    EXPECT_FALSE(runner.Run([finished] { *finished += 100; }, 1000ms));
    release.set_value();
    // Once the stuck call has ended the runner takes calls again.
    bool ran = false;
    for (int attempt = 0; attempt < 500 && !ran; ++attempt) {
        ran = runner.Run([finished] { *finished += 10; }, 1000ms);
        if (!ran)
            std::this_thread::sleep_for(1ms);
    }
    EXPECT_TRUE(ran);
    EXPECT_EQ(finished->load(), 11);
}

TEST(BlockingCallRunner, DestructionDoesNotWaitForAStuckCallAndClosesAfterIt)
{
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::promise<void> closed;
    std::future<void> closedFuture = closed.get_future();
    {
        BlockingCallRunner runner;
        runner.SetFinalCall([&closed] { closed.set_value(); });
        EXPECT_FALSE(runner.Run([released] { released.wait(); }, 10ms));
    }
    EXPECT_EQ(closedFuture.wait_for(0ms), std::future_status::timeout);
    release.set_value();
    EXPECT_EQ(closedFuture.wait_for(5s), std::future_status::ready);
}
