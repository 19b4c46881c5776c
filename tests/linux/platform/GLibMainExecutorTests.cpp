#include "TestEnvironment.h"
#include "platform/GLibMainExecutor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <numeric>
#include <stdexcept>
#include <thread>
#include <vector>

namespace norla {
namespace {

    // A private main context iterated by the test's own thread, which is the executor's main thread.
    class GLibMainExecutorTest : public ::testing::Test {
    protected:
        // Iterates the context until `done` holds; fails instead of hanging when it never does.
        void runUntil(const std::function<bool()>& done)
        {
            auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (!done()) {
                ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the posted work never ran";
                if (!g_main_context_iteration(m_context.get(), FALSE))
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }

        test::TestEnvironment m_environment; // for the log
        GRef<GMainContext> m_context = GRef<GMainContext>::adopt(g_main_context_new());
        GLibMainExecutor m_executor { m_context.get() };
    };

    TEST_F(GLibMainExecutorTest, TasksFromManyThreadsRunOnTheLoopThreadInTheOrderEachThreadPostedThem)
    {
        constexpr int threads = 4;
        constexpr int perThread = 200;
        std::vector<std::vector<int>> seen(threads); // touched on the loop thread only
        int total = 0;
        std::vector<std::jthread> posters;
        for (int t = 0; t < threads; ++t) {
            posters.emplace_back([&, t] {
                EXPECT_FALSE(m_executor.isMainThread());
                for (int i = 0; i < perThread; ++i) {
                    m_executor.post([&, t, i] {
                        EXPECT_TRUE(m_executor.isMainThread());
                        seen[t].push_back(i);
                        ++total;
                    });
                }
            });
        }
        runUntil([&] { return total == threads * perThread; });
        std::vector<int> inOrder(perThread);
        std::iota(inOrder.begin(), inOrder.end(), 0);
        EXPECT_EQ(seen, std::vector<std::vector<int>>(threads, inOrder));
    }

    TEST_F(GLibMainExecutorTest, WorkPostedFromATaskRunsAfterWhatWasQueuedAndAFailingTaskIsLoggedNotFatal)
    {
        std::vector<std::string> order;
        m_executor.post([&] {
            order.emplace_back("first");
            m_executor.post([&] { order.emplace_back("posted by first"); });
            throw std::runtime_error("壊れた");
        });
        m_executor.post([&] { order.emplace_back("second"); });
        EXPECT_TRUE(order.empty()) << "nothing runs on the poster's stack";
        runUntil([&] { return order.size() == 3; });
        EXPECT_EQ(order, (std::vector<std::string> { "first", "second", "posted by first" }));
        EXPECT_TRUE(m_environment.log().contains("GLibMainExecutor: task failed: 壊れた"));
    }

    TEST_F(GLibMainExecutorTest, TasksStillQueuedWhenTheContextGoesAwayAreReleasedNotRun)
    {
        auto owned = std::make_shared<int>(1);
        std::weak_ptr<int> watch = owned;
        bool ran = false;
        {
            auto context = GRef<GMainContext>::adopt(g_main_context_new());
            GLibMainExecutor(context.get()).post([owned = std::move(owned), &ran] { ran = true; });
        }
        EXPECT_FALSE(ran);
        EXPECT_TRUE(watch.expired());
    }

} // namespace
} // namespace norla
