#include "FakeQueue.h"

#include <gtest/gtest.h>

using namespace norla;
using namespace norla::test;

TEST(FakeQueue, RepeatingTimerStaysOnItsGridInVirtualTime)
{
    auto clock = std::make_shared<FakeClock>();
    FakeQueue queue("test.fake", clock);
    auto start = clock->now();
    std::vector<double> firings;
    auto timer = queue.scheduleRepeating(
        seconds(300), seconds(300), [&] { firings.push_back(toSeconds(clock->now() - start)); });
    queue.advanceBy(seconds(299));
    EXPECT_TRUE(firings.empty());
    queue.advanceBy(seconds(1000));
    EXPECT_EQ(firings, (std::vector<double> { 300, 600, 900, 1200 }));
    EXPECT_DOUBLE_EQ(toSeconds(clock->now() - start), 1299);
    timer.cancel();
    queue.advanceBy(seconds(3600));
    EXPECT_EQ(firings.size(), 4u);
}

TEST(FakeQueue, TimersAndTasksRunInDeadlineThenSubmissionOrder)
{
    auto clock = std::make_shared<FakeClock>();
    FakeQueue queue("test.fake", clock);
    std::vector<std::string> order;
    auto late = queue.asyncAfter(seconds(2), [&] { order.push_back("late"); });
    auto early = queue.asyncAfter(seconds(1), [&] {
        order.push_back("early");
        queue.async([&] { order.push_back("posted by early"); });
    });
    queue.async([&] { order.push_back("task"); });
    EXPECT_TRUE(order.empty());
    queue.advanceBy(seconds(5));
    EXPECT_EQ(order, (std::vector<std::string> { "task", "early", "posted by early", "late" }));
}

TEST(FakeQueue, SyncRunsEarlierWorkFirstAndMarksTheQueueCurrent)
{
    auto clock = std::make_shared<FakeClock>();
    FakeQueue queue("test.fake", clock);
    int value = 0;
    queue.async([&] { value = 7; });
    EXPECT_EQ(queue.sync([&] { return value * (queue.isCurrent() ? 2 : 1); }), 14);
    EXPECT_THROW(queue.sync([&] { queue.sync([] {}); }), std::logic_error);
}

TEST(FakeQueue, DestroyedTimerHandleCancels)
{
    auto clock = std::make_shared<FakeClock>();
    FakeQueue queue("test.fake", clock);
    bool fired = false;
    {
        auto timer = queue.asyncAfter(seconds(1), [&] { fired = true; });
    }
    queue.advanceBy(seconds(2));
    EXPECT_FALSE(fired);
    EXPECT_EQ(queue.pendingTimerCount(), 0u);
}
