#include "platform/SerialQueue.h"

#include <gtest/gtest.h>

#include <future>
#include <latch>
#include <vector>

using namespace norla;

TEST(SerialQueue, RunsTasksInSubmissionOrderOneAtATime)
{
    SerialQueue queue("test.queue");
    std::vector<int> order;
    std::atomic<int> running { 0 };
    std::atomic<bool> overlapped { false };
    for (int i = 0; i < 200; ++i) {
        queue.async([&, i] {
            if (running.fetch_add(1) != 0)
                overlapped = true;
            order.push_back(i);
            running.fetch_sub(1);
        });
    }
    queue.sync([] {});
    ASSERT_EQ(order.size(), 200u);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(order[i], i);
    EXPECT_FALSE(overlapped);
}

TEST(SerialQueue, SyncReturnsValueAndRethrowsOnTheCaller)
{
    SerialQueue queue("test.queue");
    EXPECT_EQ(queue.sync([] { return 42; }), 42);
    EXPECT_TRUE(queue.sync([&] { return queue.isCurrent(); }));
    EXPECT_FALSE(queue.isCurrent());
    EXPECT_THROW(queue.sync([]() -> int { throw std::runtime_error("boom"); }), std::runtime_error);
    // The queue keeps working after a task threw through sync.
    EXPECT_EQ(queue.sync([] { return std::string("alive"); }), "alive");
}

TEST(SerialQueue, SyncFromItsOwnQueueIsRefusedInsteadOfDeadlocking)
{
    SerialQueue queue("test.queue");
    bool refused = queue.sync([&] {
        try {
            queue.sync([] {});
        } catch (const std::logic_error&) {
            return true;
        }
        return false;
    });
    EXPECT_TRUE(refused);
}

TEST(SerialQueue, SyncWaitsForEarlierTasks)
{
    SerialQueue queue("test.queue");
    std::promise<void> release;
    auto released = release.get_future().share();
    bool earlierRan = false;
    queue.async([&, released] {
        released.wait();
        earlierRan = true;
    });
    std::thread releaser([&] { release.set_value(); });
    EXPECT_TRUE(queue.sync([&] { return earlierRan; }));
    releaser.join();
}

TEST(SerialQueue, TimersFireOnTheQueueAndCancelledOnesNever)
{
    SerialQueue queue("test.queue");
    std::promise<bool> fired;
    std::atomic<bool> cancelledFired { false };
    auto keep = queue.asyncAfter(std::chrono::milliseconds(1), [&] { fired.set_value(queue.isCurrent()); });
    auto cancelled = queue.asyncAfter(std::chrono::milliseconds(1), [&] { cancelledFired = true; });
    cancelled.cancel();
    EXPECT_TRUE(fired.get_future().get());
    // A later timer running proves the earlier cancelled one had its chance and stayed silent.
    std::promise<void> later;
    auto laterTimer = queue.asyncAfter(std::chrono::milliseconds(5), [&] { later.set_value(); });
    later.get_future().get();
    EXPECT_FALSE(cancelledFired);
}

TEST(SerialQueue, RepeatingTimerKeepsFiringUntilCancelledFromItsOwnTask)
{
    SerialQueue queue("test.queue");
    std::atomic<int> count { 0 };
    std::promise<void> third;
    Timer timer;
    queue.sync([&] {
        timer = queue.scheduleRepeating(std::chrono::milliseconds(1), std::chrono::milliseconds(1), [&] {
            if (++count == 3) {
                timer.cancel();
                third.set_value();
            }
        });
    });
    third.get_future().get();
    queue.sync([] {});
    std::promise<void> probe;
    auto probeTimer = queue.asyncAfter(std::chrono::milliseconds(10), [&] { probe.set_value(); });
    probe.get_future().get();
    EXPECT_EQ(count.load(), 3);
}

TEST(SerialQueue, DestroyingDropsPendingWorkAndReleasesItsCaptures)
{
    auto witness = std::make_shared<int>(0);
    {
        SerialQueue queue("test.queue");
        auto timer = queue.asyncAfter(std::chrono::hours(1), [witness] {});
        queue.async([witness] {});
        EXPECT_GE(witness.use_count(), 2);
    }
    EXPECT_EQ(witness.use_count(), 1);
}

TEST(SerialQueue, ManyThreadsSubmittingConcurrentlyLoseNothing)
{
    SerialQueue queue("test.queue");
    int total = 0;
    constexpr int threads = 8;
    constexpr int perThread = 500;
    std::latch start(threads);
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&] {
            start.arrive_and_wait();
            for (int i = 0; i < perThread; ++i) {
                if (i % 50 == 0)
                    queue.sync([&] { ++total; });
                else
                    queue.async([&] { ++total; });
            }
        });
    }
    for (auto& worker : workers)
        worker.join();
    EXPECT_EQ(queue.sync([&] { return total; }), threads * perThread);
}
