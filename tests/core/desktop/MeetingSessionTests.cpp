#include "DesktopShellFixture.h"

#include "recording/RecorderError.h"

#include <algorithm>

namespace norla {
namespace {

    using test::FakePluginLoader;

    constexpr const char* activeScript = "window.__norlaRecordingActive = true;";
    constexpr const char* inactiveScript = "window.__norlaRecordingActive = false;";
    constexpr const char* recordPage = "https://office.norla.jp/meeting-notes/record?mode=desktop-app";

    class MeetingSessionTest : public test::DesktopShellFixture {
    protected:
        void SetUp() override
        {
            DesktopShellFixture::SetUp();
            makeShell();
            plugin().takeCalls();
        }

        // The plug-in's callbacks, as the plug-in calls them; their work runs on the main thread.
        void press(const std::string& action)
        {
            plugin().popupHandler(action);
            runMain();
        }
        void watch(const std::string& event, std::optional<std::string> label = std::nullopt)
        {
            plugin().meetingWatch(event, std::move(label));
            runMain();
        }
        void startFromPopup()
        {
            press("start");
            recorder->completeStart({});
            runMain();
        }
        std::vector<std::string> titles() const
        {
            std::vector<std::string> result;
            for (auto& request : center->added)
                result.push_back(request.content.title + " / " + request.content.body.value_or(""));
            return result;
        }
    };

    TEST_F(MeetingSessionTest, AMeetingIsOfferedUnderItsNameOrAsMeeting)
    {
        watch("started");
        watch("started", "週次定例");
        EXPECT_EQ(plugin().takeCalls(), (std::vector<std::string> { "show invite 会議 -", "show invite 週次定例 -" }));
        EXPECT_EQ(shell->session().label, "週次定例");
        EXPECT_FALSE(shell->session().recording);
    }

    TEST_F(MeetingSessionTest, AMeetingThatStartsDuringARecordingShowsTheRecordingInItsPauseState)
    {
        startFromPopup();
        press("pause");
        plugin().takeCalls();

        watch("started", "顧客打合せ");
        EXPECT_EQ(plugin().takeCalls(), (std::vector<std::string> { "show paused 顧客打合せ -" }));
        EXPECT_TRUE(shell->session().recording);
        EXPECT_TRUE(shell->session().paused);

        recorder->recording = true;
        shell->setPaused(false);
        watch("started", "次の会議");
        EXPECT_EQ(plugin().takeCalls().back(), "show recording 次の会議 -");
    }

    TEST_F(MeetingSessionTest, StartingFromThePopupRecordsMarksThePageAndArmsTheLimit)
    {
        watch("started", "定例");
        plugin().takeCalls();
        startFromPopup();
        EXPECT_EQ(recorder->calls, (std::vector<std::string> { "start" }));
        EXPECT_EQ(plugin().takeCalls(), (std::vector<std::string> { "show recording 定例 -" }));
        EXPECT_EQ(takeEvaluated(), (std::vector<std::string> { activeScript }));
        EXPECT_TRUE(shell->session().recording);
        EXPECT_TRUE(shell->hasLimitTimer());
    }

    TEST_F(MeetingSessionTest, RecorderFailuresShowTheirTextAndLeaveTheSessionAlone)
    {
        watch("started", "定例");
        press("start");
        recorder->completeStart(recorderError(RecorderError::alreadyRecording));
        runMain();
        auto alreadyRecording = errorDescription(RecorderError::alreadyRecording);
        EXPECT_EQ(plugin().takeCalls().back(), "show error 定例 " + alreadyRecording);
        EXPECT_FALSE(shell->session().recording);
        EXPECT_FALSE(shell->hasLimitTimer());

        startFromPopup();
        recorder->pauseResult = Error::platform("一時停止できません");
        press("pause");
        EXPECT_EQ(plugin().takeCalls().back(), "show recording 定例 一時停止できません");
        EXPECT_FALSE(shell->session().paused);

        recorder->pauseResult = {};
        press("pause");
        recorder->resumeResult = Error::platform("再開できません");
        press("resume");
        EXPECT_EQ(plugin().takeCalls().back(), "show paused 定例 再開できません");
        EXPECT_TRUE(shell->session().paused);
    }

    TEST_F(MeetingSessionTest, DismissDuringARecordingHidesThePopupUntilTheNextStart)
    {
        startFromPopup();
        plugin().takeCalls();
        press("dismiss");
        EXPECT_EQ(plugin().takeCalls(), (std::vector<std::string> { "hide" }));
        EXPECT_TRUE(shell->session().dismissed);
        EXPECT_TRUE(shell->session().recording);

        // The page pauses and resumes: the flag follows, the popup stays hidden.
        shell->setPaused(true);
        shell->setPaused(false);
        shell->setPaused(true);
        EXPECT_TRUE(shell->session().paused);
        EXPECT_TRUE(plugin().takeCalls().empty());

        // A later permission event is ignored while recording and while dismissed.
        watch("permission");
        EXPECT_TRUE(plugin().takeCalls().empty());

        shell->recordingStarted();
        EXPECT_EQ(plugin().takeCalls(), (std::vector<std::string> { "show recording 会議 -" }));
        EXPECT_TRUE(shell->session().dismissed);
    }

    TEST_F(MeetingSessionTest, RecordingsRunForAtMostFourHoursOfWallClockTime)
    {
        startFromPopup();
        takeEvaluated();
        plugin().takeCalls();

        timers->advanceBy(seconds(7200));
        press("pause");
        timers->advanceBy(seconds(7199));
        runMain();
        EXPECT_TRUE(recorder->stopCompletions.empty()) << "pausing does not extend the limit, nor end it early";

        timers->advanceBy(seconds(1));
        runMain();
        EXPECT_TRUE(environment.log().contains("MacShell: 録音が4時間の上限に達したため自動停止します"));
        ASSERT_EQ(recorder->stopCompletions.size(), 1u);
        recorder->completeStop(std::string("/tmp/meeting.m4a"));
        runMain();

        EXPECT_EQ(
            titles(), (std::vector<std::string> { "会議の録音を保存しました / Vantorelで議事録への保存を始めます。" }));
        EXPECT_FALSE(center->added.front().content.sound);
        EXPECT_EQ(opened, (std::vector<std::string> { recordPage }));
        auto calls = plugin().takeCalls();
        EXPECT_EQ(calls.back(), "showWindow");
        EXPECT_NE(std::find(calls.begin(), calls.end(), "hide"), calls.end());
        EXPECT_EQ(takeEvaluated(), (std::vector<std::string> { inactiveScript }));
        EXPECT_FALSE(shell->session().recording);
        EXPECT_FALSE(shell->hasLimitTimer());
    }

    TEST_F(MeetingSessionTest, StartingAgainRestartsTheLimitAndEndingCancelsIt)
    {
        startFromPopup();
        timers->advanceBy(seconds(10000));
        shell->recordingStarted(); // the page started a new recording
        timers->advanceBy(seconds(14399));
        runMain();
        EXPECT_TRUE(recorder->calls.back() != "stop");

        shell->recordingEnded(); // the page stopped it
        timers->advanceBy(seconds(100000));
        runMain();
        EXPECT_EQ(std::count(recorder->calls.begin(), recorder->calls.end(), "stop"), 0);
    }

    TEST_F(MeetingSessionTest, ALimitFiringAlreadyOnItsWayIsDroppedWhenTheRecordingEndedMeanwhile)
    {
        startFromPopup();
        timers->advanceBy(MacShell::recordingTimeLimit); // fires, its work waits for the main thread
        shell->recordingEnded();
        runMain();
        EXPECT_FALSE(environment.log().contains("4時間"));
        EXPECT_EQ(std::count(recorder->calls.begin(), recorder->calls.end(), "stop"), 0);
    }

    TEST_F(MeetingSessionTest, TheMeetingsEndSavesARunningRecordingAndOnlyHidesOtherwise)
    {
        watch("started", "定例");
        watch("ended");
        EXPECT_EQ(plugin().takeCalls().back(), "hide");
        EXPECT_TRUE(center->added.empty());
        EXPECT_EQ(shell->session(), MeetingSession {});

        watch("started", "定例");
        startFromPopup();
        watch("ended");
        ASSERT_EQ(recorder->stopCompletions.size(), 1u);
        EXPECT_EQ(shell->session(), MeetingSession {}) << "the session is fresh at once, the label gone";
        recorder->completeStop(std::string("/tmp/meeting.m4a"));
        runMain();
        EXPECT_EQ(titles().size(), 1u);
        EXPECT_EQ(opened, (std::vector<std::string> { recordPage }));
        EXPECT_EQ(plugin().takeCalls().back(), "showWindow");
    }

    TEST_F(MeetingSessionTest, FinishWithoutARecordingOnlyEndsTheSession)
    {
        watch("started", "定例");
        takeEvaluated();
        plugin().takeCalls();
        press("finish");
        EXPECT_EQ(plugin().takeCalls(), (std::vector<std::string> { "hide" }));
        EXPECT_EQ(takeEvaluated(), (std::vector<std::string> { inactiveScript }));
        EXPECT_TRUE(center->added.empty());
        EXPECT_TRUE(opened.empty());
        EXPECT_EQ(shell->session().label, "定例");
    }

    TEST_F(MeetingSessionTest, AFailedStopTellsTheUserAndStillEndsTheSession)
    {
        watch("started", "定例");
        startFromPopup();
        press("finish");
        recorder->completeStop(recorderError(RecorderError::exportFailed, ExportFailure::emptyRecording));
        runMain();
        EXPECT_EQ(titles(),
            (std::vector<std::string> { "録音を保存できませんでした / "
                + errorDescription(RecorderError::exportFailed, ExportFailure::emptyRecording) }));
        EXPECT_TRUE(opened.empty());
        EXPECT_FALSE(shell->session().recording);
        EXPECT_EQ(shell->session().label, "定例");
    }

    TEST_F(MeetingSessionTest, ScreenCapturePermissionIsAskedAtMostOncePerMeetingWhileRefused)
    {
        watch("started", "定例");
        plugin().takeCalls();
        watch("permission");
        watch("permission");
        EXPECT_EQ(
            plugin().takeCalls(), (std::vector<std::string> { "requestScreenCaptureAccess", "show permission  -" }));
        EXPECT_TRUE(shell->session().needsPermission);

        press("dismiss");
        EXPECT_FALSE(shell->session().needsPermission);
        watch("permission");
        EXPECT_EQ(plugin().takeCalls(), (std::vector<std::string> { "hide" }));

        // A new meeting starts afresh; access granted asks each time it is needed, without a popup.
        watch("started", "次");
        plugin().takeCalls();
        plugin().grantsScreenCapture = true;
        watch("permission");
        watch("permission");
        EXPECT_EQ(plugin().takeCalls(),
            (std::vector<std::string> { "requestScreenCaptureAccess", "requestScreenCaptureAccess" }));
        EXPECT_FALSE(shell->session().needsPermission);
    }

    class MeetingSessionWithoutPluginTest : public test::DesktopShellFixture { };

    TEST_F(MeetingSessionWithoutPluginTest, TheSessionFollowsThePageAndSavingStillNotifiesAndOpens)
    {
        makeShell(FakePluginLoader::Failure::noPlugInsFolder);
        recorder->recording = true;
        shell->recordingStarted();
        EXPECT_TRUE(shell->hasLimitTimer());
        shell->finishRecording();
        recorder->completeStop(std::string("/tmp/meeting.m4a"));
        runMain();
        EXPECT_EQ(center->added.size(), 1u);
        EXPECT_EQ(opened, (std::vector<std::string> { recordPage }));
        EXPECT_EQ(takeEvaluated(), (std::vector<std::string> { activeScript, inactiveScript }));
    }

} // namespace
} // namespace norla
