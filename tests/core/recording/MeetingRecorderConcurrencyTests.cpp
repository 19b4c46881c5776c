#include "RecorderTestBench.h"

#include "ForwardingQueue.h"

#include "platform/SerialQueue.h"
#include "recording/CaptureError.h"

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
    struct CountingQueue final : test::ForwardingQueue {
        using ForwardingQueue::ForwardingQueue;
        void runSync(const std::function<void()>& task) override
        {
            ForwardingQueue::runSync(task);
            ++syncs;
            syncs.notify_all();
        }
        std::atomic<int> syncs { 0 };
    };

    // Real queues and a real executor under a system-audio recorder.
    struct RealBench : RecorderTestBench {
        RealBench()
            : RecorderTestBench(Form::systemAudio)
        {
            queue = counting;
            tasks = executor;
            makeCaptureQueue = [] { return std::make_shared<SerialQueue>("capture"); };
        }
        ~RealBench() { executor->waitUntilIdle(); }
        std::shared_ptr<CountingQueue> counting = std::make_shared<CountingQueue>("recorder");
        std::shared_ptr<ThreadBackgroundExecutor> executor = std::make_shared<ThreadBackgroundExecutor>();
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
            RealBench bench;
            std::promise<CompletionHandler<void(Result<void>)>> held;
            bench.screenCapture->plan(
                [&](auto& plan) { plan.holdStart = [&](auto done) { held.set_value(std::move(done)); }; });
            auto& recorder = bench.make();

            std::promise<Result<void>> started;
            recorder.start([&](Result<void> result) { started.set_value(std::move(result)); });
            auto answerStart = held.get_future().get();
            auto before = bench.counting->syncs.load();
            std::promise<Result<std::string>> stopped;
            recorder.stop([&](Result<std::string> result) { stopped.set_value(std::move(result)); });
            for (int seen = before; seen <= before; seen = bench.counting->syncs.load())
                bench.counting->syncs.wait(seen); // until the stop has seen the starting capture
            answerStart(captureStarts ? Result<void>() : Result<void>(Error::platform("declined")));

            EXPECT_TRUE(started.get_future().get());
            auto result = stopped.get_future().get();
            if (captureStarts)
                EXPECT_TRUE(result.error().is(CaptureError::empty)) << "the capture was stopped and mixed";
            else
                EXPECT_EQ(result.value(), (bench.session(2) / "meeting.m4a").string()) << "the fallback was stopped";
            auto state = recorder.state();
            EXPECT_FALSE(state.sessionDir || state.hasCapture || state.hasRecorder);
        }
    }

    TEST(MeetingRecorderConcurrencyTest, ManyCallersKeepTheInvariantsAndLoseNoRecording)
    {
        RealBench bench;
        auto& recorder = bench.make();
        std::vector<std::jthread> threads;
        for (unsigned t = 0; t < 6; ++t) {
            threads.emplace_back([&, t] {
                std::mt19937 random(t * 7919u + 1u);
                for (int round = 0; round < 60; ++round) {
                    switch (random() % 7) {
                    case 0:
                        (void)recorder.startAndWait();
                        break;
                    case 1:
                        (void)(random() % 2 ? recorder.pause() : recorder.resume());
                        break;
                    case 2:
                        (void)recorder.stopAndWait();
                        break;
                    case 3: // finished recordings go as the page would discard them, while others may still look
                        if (auto found = recorder.pendingAndWait(); found && found.value())
                            (void)recorder.discard(found.value()->string());
                        break;
                    case 4:
                        if (auto stream = bench.screenCapture->lastStream())
                            stream->deliver(
                                test::FakeSampleBuffer::of(round * 0.01, 160, 0.5f), StreamOutputType::microphone);
                        break;
                    case 5:
                        bench.screenCapture->plan([fails = random() % 2](auto& plan) {
                            plan.startFailure = fails ? std::optional(Error::platform("declined")) : std::nullopt;
                        });
                        break;
                    default:
                        checkInvariants(recorder.state());
                        break;
                    }
                }
            });
        }
        threads.clear();

        if (recorder.isRecording())
            (void)recorder.stopAndWait();
        for (auto found = recorder.pendingAndWait(); found && found.value(); found = recorder.pendingAndWait())
            ASSERT_TRUE(recorder.discard(found.value()->string()));
        std::error_code error;
        for (std::filesystem::directory_iterator it(bench.recordings(), error), end; !error && it != end; ++it)
            ADD_FAILURE() << "left behind unfinished: " << it->path();
        checkInvariants(recorder.state());
        EXPECT_LE(bench.audioRecorders->maxActive, 1) << "never two segments at once";
    }

} // namespace
} // namespace norla
