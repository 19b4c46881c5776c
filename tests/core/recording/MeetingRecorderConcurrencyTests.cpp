#include "RecorderTestBench.h"

#include "ForwardingQueue.h"

#include "platform/SerialQueue.h"
#include "recording/CaptureError.h"
#include "recording/RecorderError.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <random>
#include <thread>

namespace norla {
namespace {

    using test::RecorderTestBench;

    // A real serial queue that counts the synchronous tasks it has run, so that a test can wait until an
    // operation has looked at the recorder's state.
    class ObservedQueue final : public test::ForwardingQueue {
    public:
        using ForwardingQueue::ForwardingQueue;

        int syncCount()
        {
            std::lock_guard lock(m_mutex);
            return m_syncs;
        }
        void waitForSyncCount(int count)
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [&] { return m_syncs >= count; });
        }

    protected:
        void runSync(const std::function<void()>& task) override
        {
            ForwardingQueue::runSync(task);
            std::lock_guard lock(m_mutex);
            ++m_syncs;
            m_changed.notify_all();
        }

    private:
        std::mutex m_mutex;
        std::condition_variable m_changed;
        int m_syncs = 0;
    };

    struct RealQueues {
        explicit RealQueues(RecorderTestBench& bench)
            : observed(std::make_shared<ObservedQueue>("recorder"))
            , executor(std::make_shared<ThreadBackgroundExecutor>())
        {
            bench.queue = observed;
            bench.tasks = executor;
            bench.makeCaptureQueue = [] { return std::make_shared<SerialQueue>("capture"); };
        }
        std::shared_ptr<ObservedQueue> observed;
        std::shared_ptr<ThreadBackgroundExecutor> executor;
    };

    void checkInvariants(const MeetingRecorder::State& state)
    {
        EXPECT_TRUE(!state.hasRecorder || (state.sessionDir && !state.paused));
        EXPECT_TRUE(!state.hasCapture || (state.sessionDir && !state.hasRecorder && !state.hasRotationTimer));
        EXPECT_TRUE(!state.finalizing || (state.sessionDir && !state.hasCapture));
    }

    TEST(MeetingRecorderConcurrencyTest, AStopWaitsForACaptureThatIsStillStarting)
    {
        for (bool captureStarts : { true, false }) {
            SCOPED_TRACE(captureStarts);
            RecorderTestBench bench(RecorderTestBench::Form::systemAudio);
            RealQueues queues(bench);
            bench.screenCapture->plan([&](test::FakeStreamPlan& plan) { plan.holdStart = true; });
            auto& recorder = bench.make();

            std::promise<Result<void>> started;
            recorder.start([&](Result<void> result) { started.set_value(std::move(result)); });
            auto stream = bench.screenCapture->waitForStream();
            stream->waitForStart();

            auto before = queues.observed->syncCount();
            std::promise<Result<std::string>> stopped;
            recorder.stop([&](Result<std::string> result) { stopped.set_value(std::move(result)); });
            queues.observed->waitForSyncCount(before + 1); // the stop has seen the starting capture
            if (captureStarts)
                stream->answerStart(Result<void>());
            else
                stream->answerStart(Error::platform("declined"));

            EXPECT_TRUE(started.get_future().get());
            auto result = stopped.get_future().get();
            if (captureStarts) {
                EXPECT_TRUE(result.error().is(CaptureError::empty)) << "the capture was stopped and mixed";
            } else {
                ASSERT_TRUE(result) << result.error().description();
                EXPECT_EQ(result.value(), (bench.session(2) / "meeting.m4a").string()) << "the fallback was stopped";
            }
            auto state = recorder.state();
            EXPECT_FALSE(state.sessionDir || state.hasCapture || state.hasRecorder);
            queues.executor->waitUntilIdle();
        }
    }

    TEST(MeetingRecorderConcurrencyTest, ManyCallersKeepTheInvariantsAndLoseNoRecording)
    {
        RecorderTestBench bench(RecorderTestBench::Form::systemAudio);
        RealQueues queues(bench);
        auto& recorder = bench.make();
        std::atomic<bool> failCapture { false };

        constexpr int threadCount = 6;
        constexpr int rounds = 60;
        std::vector<std::thread> threads;
        threads.reserve(threadCount);
        std::mutex pathsMutex;
        std::vector<std::string> paths;
        for (int t = 0; t < threadCount; ++t) {
            threads.emplace_back([&, t] {
                std::mt19937 random(static_cast<unsigned>(t) * 7919u + 1u);
                for (int round = 0; round < rounds; ++round) {
                    auto remember = [&](const std::filesystem::path& path) {
                        std::lock_guard lock(pathsMutex);
                        paths.push_back(path.string());
                    };
                    switch (random() % 9) {
                    case 0:
                        (void)recorder.startAndWait();
                        break;
                    case 1:
                        (void)(random() % 2 ? recorder.pause() : recorder.resume());
                        break;
                    case 2:
                        if (auto stopped = recorder.stopAndWait())
                            remember(stopped.value());
                        break;
                    case 3:
                        if (auto found = recorder.pendingAndWait(); found && found.value())
                            remember(*found.value());
                        break;
                    case 4: {
                        std::unique_lock lock(pathsMutex);
                        auto path = paths.empty() ? std::string() : paths[random() % paths.size()];
                        lock.unlock();
                        (void)recorder.discard(path);
                        break;
                    }
                    case 5:
                    case 6:
                        if (auto capture = recorder.capture()) {
                            test::FakeSampleBuffer buffer;
                            buffer.samples = test::tone(440, 0.5f, 160);
                            buffer.presentationTime = round * 0.01;
                            capture->queue().sync(
                                [&] { capture->didOutputSampleBuffer(buffer, StreamOutputType::microphone); });
                        }
                        break;
                    case 7:
                        failCapture = !failCapture;
                        bench.screenCapture->plan([&](test::FakeStreamPlan& plan) {
                            plan.startFailure = failCapture ? std::optional(Error::platform("declined")) : std::nullopt;
                        });
                        break;
                    default:
                        checkInvariants(recorder.state());
                        break;
                    }
                }
            });
        }
        for (auto& thread : threads)
            thread.join();

        if (recorder.isRecording())
            (void)recorder.stopAndWait();
        for (;;) {
            auto found = recorder.pendingAndWait();
            ASSERT_TRUE(found) << found.error().description();
            if (!found.value())
                break;
            ASSERT_TRUE(recorder.discard(found.value()->string()));
        }
        std::error_code error;
        for (std::filesystem::directory_iterator it(bench.recordings(), error), end; !error && it != end; ++it)
            ADD_FAILURE() << "left behind unfinished: " << it->path();
        checkInvariants(recorder.state());
        EXPECT_LE(bench.audioRecorders->maxActive(), 1) << "never two segments at once";
        queues.executor->waitUntilIdle();
        bench.environment.main().runUntilIdle();
    }

} // namespace
} // namespace norla
