#include "RecorderTestBench.h"

#include "recording/CaptureError.h"
#include "recording/RecorderError.h"

#include <gtest/gtest.h>

namespace norla {
namespace {

    using test::RecorderTestBench;
    using test::segmentNames;
    using Names = std::vector<std::string>;

    void postInterruption(Value type)
    {
        NotificationCenter::defaultCenter().post(std::string(audioSessionInterruptionNotification), {},
            Value::Object { { std::string(audioSessionInterruptionTypeKey), std::move(type) } });
    }

    TEST(MeetingRecorderSessionTest, AMicrophoneSessionRotatesOnA300SecondGridAndItsStopMergesTheSegments)
    {
        RecorderTestBench bench;
        auto& recorder = bench.make();
        ASSERT_TRUE(recorder.startAndWait());
        EXPECT_EQ(bench.audioSession->calls, (Names { "category 13", "active 1 0" }));
        EXPECT_TRUE(bench.claims->isHeldHere(bench.session(1)));
        EXPECT_EQ(recorder.startAndWait().error().description(), "すでに録音中です");
        auto& queue = bench.fakeQueue();

        queue.advanceBy(seconds(299));
        EXPECT_EQ(segmentNames(bench.session(1)), (Names { "segment-001.m4a" }));
        queue.advanceBy(seconds(1));
        EXPECT_EQ(segmentNames(bench.session(1)), (Names { "segment-001.m4a", "segment-002.m4a" }));
        EXPECT_EQ(bench.audioRecorders->maxActive, 1) << "the old segment stops before the new one starts";

        queue.advanceBy(seconds(100)); // 400 s
        ASSERT_TRUE(recorder.pause());
        EXPECT_TRUE(recorder.pause().error().is(RecorderError::notRecording)) << "a second pause";
        queue.advanceBy(seconds(200)); // a tick at 600 s while paused does nothing
        EXPECT_EQ(bench.audioRecorders->made.size(), 2u);
        queue.advanceBy(seconds(50)); // 650 s
        ASSERT_TRUE(recorder.resume());
        EXPECT_TRUE(recorder.resume()) << "resume while recording does nothing";
        EXPECT_EQ(bench.audioRecorders->made.size(), 3u);
        queue.advanceBy(seconds(249)); // 899 s: the grid is not moved by the resume
        EXPECT_EQ(bench.audioRecorders->made.size(), 3u);
        queue.advanceBy(seconds(1));
        EXPECT_EQ(segmentNames(bench.session(1)).back(), "segment-004.m4a");
        EXPECT_EQ(bench.audioRecorders->active, 1);

        auto meeting = bench.session(1) / "meeting.m4a";
        EXPECT_EQ(recorder.stopAndWait().value(), meeting);
        EXPECT_EQ(test::readBytes(meeting),
            "segment-001.m4a at=0 duration=300\nsegment-002.m4a at=300 duration=300\n"
            "segment-003.m4a at=600 duration=300\nsegment-004.m4a at=900 duration=300\n")
            << "back to back, with no silence for the pause";
        EXPECT_TRUE(MeetingRecorder::listSegments(bench.session(1)).empty()) << "the segments are removed";
        EXPECT_EQ(bench.audioRecorders->active, 0);
        EXPECT_EQ(bench.audioSession->calls.back(), "active 0 1");
        EXPECT_FALSE(bench.claims->isHeldHere(bench.session(1))) << "given up once meeting.m4a is written";
        auto state = recorder.state();
        EXPECT_FALSE(state.sessionDir || state.hasRotationTimer || state.paused);
        EXPECT_TRUE(recorder.stopAndWait().error().is(RecorderError::notRecording)) << "a second stop";
    }

    TEST(MeetingRecorderSessionTest, AStartThatFailsLeavesNothingBehindAndWithoutASessionNothingPauses)
    {
        RecorderTestBench bench;
        bench.permission->setGranted(false);
        auto& recorder = bench.make();
        EXPECT_TRUE(recorder.pause().error().is(RecorderError::notRecording));
        EXPECT_EQ(recorder.resume().error().description(), "録音していません");
        EXPECT_TRUE(recorder.startAndWait().error().is(RecorderError::permissionDenied));
        EXPECT_TRUE(bench.audioSession->calls.empty());

        bench.permission->setGranted(true);
        bench.audioRecorders->fail(1); // makes a recorder that will not record
        EXPECT_TRUE(recorder.startAndWait().error().is(RecorderError::exportFailed)) << "the segment did not start";
        EXPECT_FALSE(std::filesystem::exists(bench.session(1)));
        EXPECT_EQ(bench.audioSession->calls.back(), "active 0 1");
        EXPECT_FALSE(bench.claims->isHeldHere(bench.session(1)));

        bench.audioRecorders->fail(2, Error::platform("no input device"));
        EXPECT_EQ(recorder.startAndWait().error().description(), "no input device");
        EXPECT_FALSE(recorder.isRecording());

        ASSERT_TRUE(recorder.startAndWait());
        ASSERT_TRUE(recorder.pause());
        bench.audioSession->activationFailure = Error::platform("session busy");
        EXPECT_EQ(recorder.resume().error().description(), "session busy");
    }

    TEST(MeetingRecorderSessionTest, InterruptionsAndLostMicrophonesCloseTheSegmentAndTheUserIsTold)
    {
        RecorderTestBench bench;
        bench.audioRecorders->fail(3, Error::platform("disk full"));
        bench.audioRecorders->fail(6);
        auto& recorder = bench.make();
        test::CaptureFailures failures;
        ASSERT_TRUE(recorder.startAndWait());
        auto deliver = [&](Value type) {
            postInterruption(std::move(type));
            bench.settle();
        };

        deliver(1);
        EXPECT_FALSE(recorder.state().hasRecorder);
        bench.fakeQueue().advanceBy(seconds(300)); // a tick while interrupted does nothing
        EXPECT_EQ(bench.audioRecorders->made.size(), 1u);
        deliver(0);
        EXPECT_EQ(segmentNames(bench.session(1)), (Names { "segment-001.m4a", "segment-002.m4a" }));
        deliver("1"); // not an integer
        deliver(7); // an unknown type
        EXPECT_TRUE(recorder.state().hasRecorder);

        // A rotation whose segment cannot start consumes its number; the session records nothing from then on.
        bench.fakeQueue().advanceBy(seconds(300));
        bench.settle();
        EXPECT_FALSE(recorder.state().hasRecorder);
        EXPECT_EQ(failures.texts, (Names { "disk full" }));
        EXPECT_EQ(bench.notices->notices().at(0).first, "マイクが使えなくなりました");
        deliver(0);
        EXPECT_EQ(segmentNames(bench.session(1)).back(), "segment-004.m4a");

        auto gone = [&](std::size_t made) {
            bench.audioRecorders->failWhileRecording(made, Error::platform("No such entity"));
            bench.settle();
        };
        gone(0); // a segment that was already over
        EXPECT_EQ(recorder.state().segmentIndex, 4);
        gone(2); // another microphone takes over at once
        EXPECT_TRUE(bench.audioRecorders->made[2].stopped) << "its file is finished";
        EXPECT_EQ(segmentNames(bench.session(1)).back(), "segment-005.m4a");
        EXPECT_EQ(bench.notices->notices().at(1).first, "別のマイクで録音しています");
        gone(3); // and none is left
        EXPECT_EQ(failures.texts, (Names { "disk full", "No such entity" }));
        EXPECT_TRUE(bench.environment.log().contains("MeetingRecorder: No such entity"));
        EXPECT_EQ(bench.notices->notices().back().first, "マイクが使えなくなりました");
        EXPECT_TRUE(recorder.isRecording()) << "until the session controller or the page stops it";

        deliver(0); // the end of an interruption tries again
        ASSERT_TRUE(recorder.pause());
        deliver(0); // while paused, interruptions change nothing
        EXPECT_FALSE(recorder.state().hasRecorder);
    }

    TEST(MeetingRecorderSessionTest,
        ASystemAudioSessionRecordsThroughTheCaptureAndFallsBackToTheMicrophoneWhenItCannotStart)
    {
        RecorderTestBench bench(RecorderTestBench::Form::systemAudio);
        auto& recorder = bench.make();
        ASSERT_TRUE(recorder.startAndWait());
        auto state = recorder.state();
        EXPECT_TRUE(state.hasCapture && !state.hasRecorder && !state.hasRotationTimer);
        EXPECT_TRUE(bench.claims->isHeldHere(bench.session(1)));

        auto capture = recorder.capture();
        ASSERT_TRUE(recorder.pause());
        EXPECT_TRUE(capture->isPaused());
        ASSERT_TRUE(recorder.resume());
        EXPECT_FALSE(capture->isPaused());
        for (int type : { 1, 0 }) {
            postInterruption(type);
            bench.settle();
        }
        EXPECT_TRUE(bench.audioRecorders->made.empty()) << "no microphone segment in the capture's directory";
        EXPECT_TRUE(bench.audioSession->calls.empty());

        bench.screenCapture->lastStream()->deliver(
            test::FakeSampleBuffer::of(10.0, 160, 0.5f), StreamOutputType::microphone);
        EXPECT_EQ(recorder.stopAndWait().value(), bench.session(1) / "meeting.m4a");
        EXPECT_FALSE(bench.claims->isHeldHere(bench.session(1)));
        state = recorder.state();
        EXPECT_FALSE(state.sessionDir || state.finalizing || state.hasCapture);

        ASSERT_TRUE(recorder.startAndWait());
        EXPECT_TRUE(recorder.stopAndWait().error().is(CaptureError::empty)) << "nothing was heard";
        EXPECT_FALSE(recorder.isRecording());
        EXPECT_TRUE(std::filesystem::exists(bench.session(2) / "mic.f32")) << "raw tracks stay after a failed stop";

        // A capture that cannot start falls back to the microphone, in a new directory.
        bench.screenCapture->plan([](auto& plan) { plan.startFailure = Error::platform("The user declined TCCs"); });
        ASSERT_TRUE(recorder.startAndWait());
        EXPECT_FALSE(std::filesystem::exists(bench.session(3))) << "the attempt's directory is removed";
        EXPECT_FALSE(bench.claims->isHeldHere(bench.session(3)));
        EXPECT_EQ(segmentNames(bench.session(4)), (Names { "segment-001.m4a" }));
        EXPECT_TRUE(bench.environment.log().contains("SystemAudioCapture unavailable, falling back to mic: "
                                                     "画面収録が許可されていません: The user declined TCCs"));
        EXPECT_TRUE(bench.notices->notices().empty()) << "the notice is shown on the main thread";
        bench.environment.main().runUntilIdle();
        EXPECT_EQ(bench.notices->notices().at(0).first, "マイクだけで録音しています");
    }

} // namespace
} // namespace norla
