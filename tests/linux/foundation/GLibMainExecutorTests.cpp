#include "TestEnvironment.h"
#include "foundation/GLibMainExecutor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

namespace norla {
namespace {

    // A private main context iterated by the test's own thread, which is the executor's main thread.
    class GLibMainExecutorTests : public ::testing::Test {
    protected:
        GLibMainExecutorTests()
            : m_context(GRef<GMainContext>::adopt(g_main_context_new()))
            , m_loop(GRef<GMainLoop>::adopt(g_main_loop_new(m_context.get(), FALSE)))
            , m_executor(m_context.get())
        {
        }

        // Runs the loop until a task quits it; a guard fails the test instead of hanging when none does.
        void runLoop()
        {
            auto guard = GRef<GSource>::adopt(g_timeout_source_new_seconds(20));
            g_source_set_callback(
                guard.get(),
                [](gpointer loop) -> gboolean {
                    ADD_FAILURE() << "the main loop was never quit";
                    g_main_loop_quit(static_cast<GMainLoop*>(loop));
                    return G_SOURCE_REMOVE;
                },
                m_loop.get(), nullptr);
            g_source_attach(guard.get(), m_context.get());
            g_main_loop_run(m_loop.get());
            g_source_destroy(guard.get());
        }
        void postQuit()
        {
            m_executor.post([loop = m_loop] { g_main_loop_quit(loop.get()); });
        }

        test::TestEnvironment m_environment; // for the log
        GRef<GMainContext> m_context;
        GRef<GMainLoop> m_loop;
        GLibMainExecutor m_executor;
    };

    TEST_F(GLibMainExecutorTests, TasksFromManyThreadsRunOnTheLoopThreadInTheOrderEachThreadPostedThem)
    {
        constexpr int threads = 4;
        constexpr int perThread = 200;
        std::vector<std::vector<int>> seen(threads); // touched on the loop thread only
        std::atomic<int> finished = 0;
        std::atomic<bool> ranElsewhere = false;
        std::vector<std::thread> posters;
        posters.reserve(threads);
        for (int t = 0; t < threads; ++t) {
            posters.emplace_back([&, t] {
                EXPECT_FALSE(m_executor.isMainThread());
                for (int i = 0; i < perThread; ++i) {
                    m_executor.post([&, t, i] {
                        if (!m_executor.isMainThread())
                            ranElsewhere = true;
                        seen[t].push_back(i);
                    });
                }
                if (++finished == threads)
                    postQuit();
            });
        }
        runLoop();
        for (auto& poster : posters)
            poster.join();
        EXPECT_TRUE(m_executor.isMainThread());
        EXPECT_FALSE(ranElsewhere);
        for (int t = 0; t < threads; ++t) {
            ASSERT_EQ(seen[t].size(), static_cast<size_t>(perThread));
            for (int i = 0; i < perThread; ++i)
                EXPECT_EQ(seen[t][i], i);
        }
    }

    TEST_F(GLibMainExecutorTests, WorkPostedFromATaskRunsAfterEverythingAlreadyQueuedAndNeverOnThePostersStack)
    {
        std::vector<std::string> order;
        m_executor.post([&] {
            order.push_back("first");
            m_executor.post([&] { order.push_back("posted by first"); });
            order.push_back("first done");
        });
        m_executor.post([&] { order.push_back("second"); });
        m_executor.post([&] { m_executor.post([&] { postQuit(); }); });
        EXPECT_TRUE(order.empty()); // nothing runs before the loop does
        runLoop();
        EXPECT_EQ(order, (std::vector<std::string> { "first", "first done", "second", "posted by first" }));
    }

    TEST_F(GLibMainExecutorTests, AFailingTaskIsLoggedAndTheNextOneStillRuns)
    {
        bool ranAfter = false;
        m_executor.post([] { throw std::runtime_error("壊れた"); });
        m_executor.post([&] { ranAfter = true; });
        postQuit();
        runLoop();
        EXPECT_TRUE(ranAfter);
        EXPECT_TRUE(m_environment.log().contains("GLibMainExecutor: task failed: 壊れた"));
    }

    TEST_F(GLibMainExecutorTests, TasksStillQueuedWhenTheContextGoesAwayAreReleasedNotRun)
    {
        auto owned = std::make_shared<int>(1);
        std::weak_ptr<int> watch = owned;
        bool ran = false;
        {
            auto context = GRef<GMainContext>::adopt(g_main_context_new());
            GLibMainExecutor executor(context.get());
            executor.post([owned = std::move(owned), &ran] { ran = true; });
        }
        EXPECT_FALSE(ran);
        EXPECT_TRUE(watch.expired());
    }

} // namespace
} // namespace norla
