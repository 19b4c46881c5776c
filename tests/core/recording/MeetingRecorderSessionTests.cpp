#include "RecorderTestBench.h"

#include "platform/NotificationCenter.h"
#include "recording/CaptureError.h"
#include "recording/RecorderError.h"
#include "web/OfficeNotifications.h"

#include <gtest/gtest.h>

namespace norla {
namespace {

    using test::RecorderTestBench;

    Result<void> startNow(MeetingRecorder& recorder)
    {
        std::optional<Result<void>> answer;
        recorder.start([&](Result<void> result) { answer.emplace(std::move(result)); });
        EXPECT_TRUE(answer.has_value()) << "the inline executor completes at once";
        return answer.value_or(Error::platform("no answer"));
    }

    std::vector<std::string> segmentNames(const std::filesystem::path& dir)
    {
        std::vector<std::string> names;
        for (auto& segment : MeetingRecorder::listSegments(dir))
            names.push_back(segment.filename().string());
        return names;
    }

    void postInterruption(Value type)
    {
        NotificationCenter::defaultCenter().post(std::string(audioSessionInterruptionNotification), {},
            Value::Object { { std::string(audioSessionInterruptionTypeKey), std::move(type) } });
    }

    TEST(MeetingRecorderSession, MicrophoneSessionConfiguresTheAudioSessionAndRecordsTheFirstSegment)
    {
        RecorderTestBench bench;
        auto& recorder = bench.make();
        ASSERT_TRUE(startNow(recorder));

        EXPECT_EQ(bench.audioSession->calls(),
            (std::vector<std::string> { "category playAndRecord spokenAudio 13", "active 1 0" }));
        auto made = bench.audioRecorders->made();
        ASSERT_EQ(made.size(), 1u);
        EXPECT_EQ(made[0].file, bench.session(1) / "segment-001.m4a");
        EXPECT_EQ(made[0].settings, (AudioFileSettings { 0x61616320, 16000.0, 1, 32000 }));
        EXPECT_TRUE(made[0].recording);
        auto state = recorder.state();
        EXPECT_EQ(state.sessionDir, bench.session(1)) << "the directory's name is the UUID in lower case";
        EXPECT_TRUE(state.hasRecorder);
        EXPECT_TRUE(state.hasRotationTimer);
        EXPECT_FALSE(state.paused);
        EXPECT_TRUE(recorder.isRecording());
    }

    TEST(MeetingRecorderSession, RotationFollowsThe300SecondGridFromTheSessionStart)
    {
        RecorderTestBench bench;
        auto& recorder = bench.make();
        ASSERT_TRUE(startNow(recorder));
        auto& queue = bench.fakeQueue();

        queue.advanceBy(seconds(299));
        EXPECT_EQ(segmentNames(bench.session(1)), (std::vector<std::string> { "segment-001.m4a" }));
        queue.advanceBy(seconds(1));
        EXPECT_EQ(segmentNames(bench.session(1)), (std::vector<std::string> { "segment-001.m4a", "segment-002.m4a" }));
        EXPECT_TRUE(bench.audioRecorders->made()[0].stopped);
        EXPECT_EQ(bench.audioRecorders->maxActive(), 1) << "the old segment stops before the new one starts";

        queue.advanceBy(seconds(100)); // 400 s
        ASSERT_TRUE(recorder.pause());
        queue.advanceBy(seconds(200)); // a tick at 600 s while paused does nothing
        EXPECT_EQ(bench.audioRecorders->made().size(), 2u);
        queue.advanceBy(seconds(50)); // 650 s
        ASSERT_TRUE(recorder.resume());
        EXPECT_EQ(bench.audioRecorders->made().size(), 3u);
        queue.advanceBy(seconds(249)); // 899 s: the grid is not moved by the resume
        EXPECT_EQ(bench.audioRecorders->made().size(), 3u);
        queue.advanceBy(seconds(1));
        EXPECT_EQ(segmentNames(bench.session(1)).back(), "segment-004.m4a");
        EXPECT_EQ(bench.audioRecorders->activeCount(), 1);
    }

    TEST(MeetingRecorderSession, AFailedSegmentStartConsumesItsNumberAndTheSessionGoesOnWithoutARecorder)
    {
        RecorderTestBench bench;
        bench.audioRecorders->failCreation(2, Error::platform("disk full"));
        auto& recorder = bench.make();
        ASSERT_TRUE(startNow(recorder));

        bench.fakeQueue().advanceBy(seconds(300));
        auto state = recorder.state();
        EXPECT_FALSE(state.hasRecorder);
        EXPECT_EQ(state.segmentIndex, 2);
        EXPECT_TRUE(recorder.isRecording());
        bench.fakeQueue().advanceBy(seconds(600)); // ticks without a recorder do nothing
        EXPECT_EQ(recorder.state().segmentIndex, 2);

        postInterruption(0); // the end of an interruption starts the next segment
        bench.environment.main().runUntilIdle();
        bench.fakeQueue().runUntilIdle();
        EXPECT_EQ(segmentNames(bench.session(1)), (std::vector<std::string> { "segment-001.m4a", "segment-003.m4a" }));
    }

    TEST(MeetingRecorderSession, AMicrophoneThatGoesAwayIsReplacedOrEndsTheSessionAsAFailedCaptureDoes)
    {
        RecorderTestBench bench;
        bench.audioRecorders->refuseRecord(4);
        auto& recorder = bench.make();
        std::vector<std::string> failures;
        auto observer = NotificationCenter::defaultCenter().addObserver(
            std::string(officeCaptureFailed), [&](const Notification& notification) {
                failures.push_back(std::any_cast<std::string>(notification.object));
            });
        ASSERT_TRUE(startNow(recorder));
        bench.fakeQueue().advanceBy(seconds(300));
        auto gone = [&](std::size_t segment) {
            bench.audioRecorders->failWhileRecording(segment, Error::platform("No such entity"));
            bench.fakeQueue().runUntilIdle();
            bench.environment.main().runUntilIdle();
        };

        gone(0); // a segment that was already over
        EXPECT_TRUE(bench.notices->notices().empty());
        EXPECT_EQ(recorder.state().segmentIndex, 2);

        gone(1); // another microphone takes over at once
        EXPECT_TRUE(bench.audioRecorders->made()[1].stopped) << "its file is finished";
        EXPECT_TRUE(recorder.state().hasRecorder);
        EXPECT_EQ(segmentNames(bench.session(1)).back(), "segment-003.m4a");
        ASSERT_EQ(bench.notices->notices().size(), 1u);
        EXPECT_EQ(bench.notices->notices()[0].first, "別のマイクで録音しています");
        EXPECT_TRUE(failures.empty());

        gone(2); // and none is left
        NotificationCenter::defaultCenter().removeObserver(observer);
        EXPECT_EQ(failures, (std::vector<std::string> { "No such entity" }));
        EXPECT_TRUE(bench.environment.log().contains("MeetingRecorder: No such entity"));
        ASSERT_EQ(bench.notices->notices().size(), 2u);
        EXPECT_EQ(bench.notices->notices()[1].first, "マイクが使えなくなりました");
        EXPECT_FALSE(recorder.state().hasRecorder);
        EXPECT_TRUE(recorder.isRecording()) << "until the session controller or the page stops it";
        ASSERT_TRUE(recorder.stopAndWait());
    }

    TEST(MeetingRecorderSession, PauseAndResumeOfAMicrophoneSession)
    {
        RecorderTestBench bench;
        auto& recorder = bench.make();
        EXPECT_TRUE(recorder.pause().error().is(RecorderError::notRecording));
        EXPECT_EQ(recorder.resume().error().description(), "録音していません");

        ASSERT_TRUE(startNow(recorder));
        EXPECT_TRUE(recorder.resume()) << "resume while recording does nothing";
        EXPECT_EQ(bench.audioRecorders->made().size(), 1u);
        ASSERT_TRUE(recorder.pause());
        EXPECT_TRUE(recorder.state().paused);
        EXPECT_TRUE(bench.audioRecorders->made()[0].stopped);
        EXPECT_TRUE(recorder.pause().error().is(RecorderError::notRecording)) << "a second pause";
        ASSERT_TRUE(recorder.resume());
        EXPECT_EQ(segmentNames(bench.session(1)), (std::vector<std::string> { "segment-001.m4a", "segment-002.m4a" }));
        EXPECT_EQ(bench.audioSession->calls().back(), "active 1 0");
        EXPECT_FALSE(recorder.state().paused);
    }

    TEST(MeetingRecorderSession, AResumeThatCannotActivateTheAudioSessionLeavesTheSessionWithoutARecorder)
    {
        RecorderTestBench bench;
        auto& recorder = bench.make();
        ASSERT_TRUE(startNow(recorder));
        ASSERT_TRUE(recorder.pause());
        bench.audioSession->failActivation(Error::platform("session busy"));
        EXPECT_EQ(recorder.resume().error().description(), "session busy");
        bench.audioSession->failActivation(std::nullopt);
        EXPECT_TRUE(recorder.resume()) << "not paused any more: nothing to do";
        auto state = recorder.state();
        EXPECT_FALSE(state.paused);
        EXPECT_FALSE(state.hasRecorder);
        EXPECT_TRUE(state.sessionDir.has_value());
    }

    TEST(MeetingRecorderSession, AFirstSegmentThatCannotStartUndoesTheSession)
    {
        RecorderTestBench bench;
        bench.audioRecorders->refuseRecord(1);
        auto& recorder = bench.make();
        auto started = startNow(recorder);
        ASSERT_FALSE(started);
        EXPECT_EQ(started.error().description(), "録音をまとめられませんでした: 録音を開始できませんでした");
        EXPECT_FALSE(std::filesystem::exists(bench.session(1)));
        EXPECT_EQ(bench.audioSession->calls().back(), "active 0 1");
        EXPECT_FALSE(recorder.isRecording());

        bench.audioRecorders->failCreation(2, Error::platform("no input device"));
        EXPECT_EQ(startNow(recorder).error().description(), "no input device");
        EXPECT_FALSE(recorder.state().sessionDir);
    }

    TEST(MeetingRecorderSession, RefusedPermissionChangesNothing)
    {
        RecorderTestBench bench;
        bench.permission->setGranted(false);
        auto& recorder = bench.make();
        EXPECT_EQ(startNow(recorder).error().description(),
            "マイクの使用が許可されていません。設定アプリの「Vantorel」でマイクをオンにしてください。");
        EXPECT_FALSE(std::filesystem::exists(bench.recordings()));
        EXPECT_TRUE(bench.audioSession->calls().empty());
    }

    TEST(MeetingRecorderSession, AStartDuringASessionOfEitherFormIsAlreadyRecording)
    {
        for (auto form : { RecorderTestBench::Form::microphoneOnly, RecorderTestBench::Form::systemAudio }) {
            RecorderTestBench bench(form);
            auto& recorder = bench.make();
            ASSERT_TRUE(startNow(recorder));
            auto before = recorder.state();
            EXPECT_EQ(startNow(recorder).error().description(), "すでに録音中です");
            EXPECT_EQ(bench.permission->requestCount(), 2) << "the permission is asked first";
            EXPECT_EQ(recorder.state().sessionDir, before.sessionDir);
            EXPECT_EQ(recorder.state().hasCapture, before.hasCapture);
        }
    }

    TEST(MeetingRecorderSession, SystemAudioSessionHandsPauseAndResumeToTheCapture)
    {
        RecorderTestBench bench(RecorderTestBench::Form::systemAudio);
        auto& recorder = bench.make();
        ASSERT_TRUE(startNow(recorder));
        auto state = recorder.state();
        EXPECT_TRUE(state.hasCapture);
        EXPECT_FALSE(state.hasRecorder);
        EXPECT_FALSE(state.hasRotationTimer);
        EXPECT_TRUE(bench.audioSession->calls().empty());
        EXPECT_TRUE(std::filesystem::exists(bench.session(1) / "system.f32"));
        EXPECT_TRUE(std::filesystem::exists(bench.session(1) / "mic.f32"));

        auto capture = recorder.capture();
        ASSERT_TRUE(recorder.pause());
        EXPECT_TRUE(capture->isPaused());
        EXPECT_FALSE(recorder.state().paused);
        ASSERT_TRUE(recorder.pause()) << "the capture keeps its first pause";
        ASSERT_TRUE(recorder.resume());
        EXPECT_FALSE(capture->isPaused());
    }

    TEST(MeetingRecorderSession, ACaptureThatCannotStartFallsBackToTheMicrophoneInANewDirectory)
    {
        for (int failure = 0; failure < 2; ++failure) {
            RecorderTestBench bench(RecorderTestBench::Form::systemAudio);
            if (failure == 0)
                bench.screenCapture->setContent(Error::platform("The user declined TCCs"));
            else
                bench.screenCapture->failStart(Error::platform("The user declined TCCs"));
            auto& recorder = bench.make();
            ASSERT_TRUE(startNow(recorder));

            EXPECT_FALSE(std::filesystem::exists(bench.session(1))) << "the attempt's directory is removed";
            EXPECT_EQ(recorder.state().sessionDir, bench.session(2));
            EXPECT_EQ(segmentNames(bench.session(2)), (std::vector<std::string> { "segment-001.m4a" }));
            EXPECT_TRUE(bench.environment.log().contains("SystemAudioCapture unavailable, falling back to mic: "
                                                         "画面収録が許可されていません: The user declined TCCs"));
            EXPECT_TRUE(bench.notices->notices().empty()) << "the notice is shown on the main thread";
            bench.environment.main().runUntilIdle();
            auto notices = bench.notices->notices();
            ASSERT_EQ(notices.size(), 1u);
            EXPECT_EQ(notices[0].first, "マイクだけで録音しています");
            EXPECT_EQ(notices[0].second,
                "画面収録が許可されていないため、Zoom や Meet の相手の声は入りません。相手の声も録るには、システム設定 "
                "→「プライバシーとセキュリティ」→「画面とシステムオーディオ録音」で "
                "Vantorelをオンにし、アプリを開き直してから録り直してください。");
        }
    }

    TEST(MeetingRecorderSession, AnInterruptionClosesTheSegmentAndItsEndStartsTheNext)
    {
        RecorderTestBench bench;
        auto& recorder = bench.make();
        ASSERT_TRUE(startNow(recorder));
        auto deliver = [&](Value type) {
            postInterruption(std::move(type));
            bench.environment.main().runUntilIdle();
            bench.fakeQueue().runUntilIdle();
        };

        deliver(1);
        EXPECT_FALSE(recorder.state().hasRecorder);
        EXPECT_FALSE(recorder.state().paused);
        EXPECT_TRUE(recorder.pause().error().is(RecorderError::notRecording));
        bench.fakeQueue().advanceBy(seconds(300)); // a tick while interrupted does nothing
        EXPECT_EQ(bench.audioRecorders->made().size(), 1u);
        deliver(0);
        EXPECT_EQ(segmentNames(bench.session(1)), (std::vector<std::string> { "segment-001.m4a", "segment-002.m4a" }));

        deliver("1"); // not an unsigned integer
        deliver(7); // an unknown type
        EXPECT_TRUE(recorder.state().hasRecorder);

        ASSERT_TRUE(recorder.pause());
        deliver(0); // while paused, interruptions change nothing
        EXPECT_FALSE(recorder.state().hasRecorder);
    }

    TEST(MeetingRecorderSession, InterruptionsLeaveASystemAudioSessionAlone)
    {
        RecorderTestBench bench(RecorderTestBench::Form::systemAudio);
        auto& recorder = bench.make();
        ASSERT_TRUE(startNow(recorder));
        for (int type : { 1, 0 }) {
            postInterruption(type);
            bench.environment.main().runUntilIdle();
            bench.fakeQueue().runUntilIdle();
        }
        EXPECT_TRUE(bench.audioRecorders->made().empty()) << "no microphone segment in the capture's directory";
        EXPECT_TRUE(bench.audioSession->calls().empty());
        EXPECT_TRUE(recorder.state().hasCapture);
    }

} // namespace
} // namespace norla
