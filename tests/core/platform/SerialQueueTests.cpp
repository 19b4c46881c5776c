#include "platform/SerialQueue.h"

#include <gtest/gtest.h>

#include <future>
#include <latch>
#include <numeric>
#include <thread>
#include <vector>

using namespace norla;
using namespace std::chrono_literals;

TEST(SerialQueueTest, TasksFromManyThreadsRunOneAtATimeInEachThreadsOrderAndNoneIsLost)
{
    SerialQueue queue("test.queue");
    constexpr int threads = 8;
    constexpr int perThread = 500;
    std::vector<std::vector<int>> seen(threads); // touched on the queue only
    std::atomic<int> running { 0 };
    bool overlapped = false;
    std::latch start(threads);
    {
        std::vector<std::jthread> workers;
        for (int t = 0; t < threads; ++t)
            workers.emplace_back([&, t] {
                start.arrive_and_wait();
                for (int i = 0; i < perThread; ++i) {
                    auto task = [&, t, i] {
                        overlapped |= running.fetch_add(1) != 0;
                        seen[t].push_back(i);
                        running.fetch_sub(1);
                    };
                    i % 50 ? queue.async(task) : queue.sync(task);
                }
            });
    }
    std::vector<int> expected(perThread);
    std::iota(expected.begin(), expected.end(), 0);
    queue.sync([&] {
        EXPECT_FALSE(overlapped);
        EXPECT_EQ(seen, std::vector(threads, expected));
    });
}

TEST(SerialQueueTest, SyncWaitsForEarlierTasksReturnsOrRethrowsAndRefusesItsOwnQueue)
{
    SerialQueue queue("test.queue");
    std::promise<void> release;
    bool earlierRan = false;
    queue.async([&, released = release.get_future()] {
        released.wait();
        earlierRan = true;
    });
    std::thread releaser([&] { release.set_value(); });
    EXPECT_TRUE(queue.sync([&] { return earlierRan && queue.isCurrent(); }));
    releaser.join();
    EXPECT_FALSE(queue.isCurrent());
    EXPECT_THROW(queue.sync([]() -> int { throw std::runtime_error("boom"); }), std::runtime_error);
    EXPECT_THROW(queue.sync([&] { queue.sync([] {}); }), std::logic_error) << "instead of a deadlock";
    EXPECT_EQ(queue.sync([] { return 42; }), 42) << "the queue works on after a task threw";
}

TEST(SerialQueueTest, TimersFireOnTheQueueUntilCancelledAlsoFromTheirOwnTask)
{
    SerialQueue queue("test.queue");
    std::promise<bool> onceFired;
    std::promise<void> third;
    std::atomic<bool> cancelledFired { false };
    std::atomic<int> repeats { 0 };
    Timer repeating;
    auto once = queue.asyncAfter(1ms, [&] { onceFired.set_value(queue.isCurrent()); });
    auto cancelled = queue.asyncAfter(1ms, [&] { cancelledFired = true; });
    cancelled.cancel();
    queue.sync([&] {
        repeating = queue.scheduleRepeating(1ms, 1ms, [&] {
            if (++repeats == 3) {
                repeating.cancel();
                third.set_value();
            }
        });
    });
    EXPECT_TRUE(onceFired.get_future().get());
    third.get_future().get();
    // A later timer running proves that the cancelled ones had their chance and stayed silent.
    std::promise<void> later;
    auto laterTimer = queue.asyncAfter(10ms, [&] { later.set_value(); });
    later.get_future().get();
    EXPECT_FALSE(cancelledFired);
    EXPECT_EQ(repeats.load(), 3);
}

TEST(SerialQueueTest, DestroyingDropsPendingWorkAndReleasesItsCaptures)
{
    auto witness = std::make_shared<int>(0);
    {
        SerialQueue queue("test.queue");
        auto timer = queue.asyncAfter(1h, [witness] {});
        queue.async([witness] {});
    }
    EXPECT_EQ(witness.use_count(), 1);
}
