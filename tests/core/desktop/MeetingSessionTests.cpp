#include "DesktopShellFixture.h"

#include "recording/RecorderError.h"

namespace norla {
namespace {

    using Calls = std::vector<std::string>;

    constexpr const char* activeScript = "window.__norlaRecordingActive = true;";
    constexpr const char* inactiveScript = "window.__norlaRecordingActive = false;";
    constexpr const char* recordPage = "https://office.norla.jp/meeting-notes/record?mode=desktop-app";

    class MeetingSessionTest : public test::DesktopShellFixture {
    protected:
        void SetUp() override { makeShell(); }

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
            recorder->completeStart();
            runMain();
        }
        void completeStop(Result<std::string> result = std::string("/tmp/meeting.m4a"))
        {
            recorder->completeStop(std::move(result));
            runMain();
        }
        Calls titles() const
        {
            Calls result;
            for (auto& request : center->added)
                result.push_back(request.content.title + " / " + request.content.body.value_or(""));
            return result;
        }
    };

    TEST_F(MeetingSessionTest, AMeetingIsOfferedUnderItsNameAndThePopupStartsPausesResumesAndShowsFailures)
    {
        watch("started");
        watch("started", "定例");
        EXPECT_EQ(plugin().takeCalls(), (Calls { "show invite 会議 -", "show invite 定例 -" }));
        press("start");
        recorder->completeStart(recorderError(RecorderError::alreadyRecording));
        runMain();
        EXPECT_EQ(plugin().takeCalls().back(), "show error 定例 " + errorDescription(RecorderError::alreadyRecording));
        EXPECT_FALSE(shell->session().recording || shell->hasLimitTimer());

        startFromPopup();
        EXPECT_EQ(plugin().takeCalls(), (Calls { "show recording 定例 -" }));
        EXPECT_EQ(takeEvaluated(), (Calls { activeScript }));
        EXPECT_TRUE(shell->session().recording && shell->hasLimitTimer());

        recorder->pauseResult = Error::platform("一時停止できません");
        press("pause");
        EXPECT_EQ(plugin().takeCalls().back(), "show recording 定例 一時停止できません");
        EXPECT_FALSE(shell->session().paused);
        recorder->pauseResult = {};
        press("pause");
        EXPECT_TRUE(shell->session().paused);
        recorder->resumeResult = Error::platform("再開できません");
        press("resume");
        EXPECT_EQ(plugin().takeCalls().back(), "show paused 定例 再開できません");
        EXPECT_TRUE(shell->session().paused);
        watch("started", "顧客打合せ"); // a meeting starting meanwhile shows the running recording
        EXPECT_EQ(plugin().takeCalls(), (Calls { "show paused 顧客打合せ -" }));
        EXPECT_TRUE(shell->session().recording && shell->session().paused);
    }

    TEST_F(MeetingSessionTest, ScreenCaptureIsAskedForAtMostOncePerMeetingAndDismissHidesThePopupUntilTheNextStart)
    {
        watch("started", "定例");
        plugin().takeCalls();
        watch("permission");
        watch("permission");
        EXPECT_EQ(plugin().takeCalls(), (Calls { "requestScreenCaptureAccess", "show permission  -" }));
        press("dismiss");
        EXPECT_FALSE(shell->session().needsPermission);
        watch("permission");
        EXPECT_EQ(plugin().takeCalls(), (Calls { "hide" }));

        // A new meeting starts afresh; access granted asks each time it is needed, without a popup.
        watch("started", "次");
        plugin().takeCalls();
        plugin().grantsScreenCapture = true;
        watch("permission");
        watch("permission");
        EXPECT_EQ(plugin().takeCalls(), (Calls { "requestScreenCaptureAccess", "requestScreenCaptureAccess" }));

        startFromPopup();
        plugin().takeCalls();
        press("dismiss");
        EXPECT_EQ(plugin().takeCalls(), (Calls { "hide" }));
        shell->setPaused(true); // the page pauses: the flag follows, the popup stays hidden
        EXPECT_TRUE(shell->session().paused);
        plugin().grantsScreenCapture = false;
        watch("permission"); // ignored while recording
        EXPECT_TRUE(plugin().takeCalls().empty());
        shell->recordingStarted();
        EXPECT_EQ(plugin().takeCalls(), (Calls { "show recording 次 -" }));
    }

    TEST_F(MeetingSessionTest, TheFourHourLimitCountsWallClockFromTheLatestStartAndSavesTheRecording)
    {
        startFromPopup();
        takeEvaluated();
        timers->advanceBy(seconds(7200));
        press("pause");
        shell->recordingStarted(); // the page started again: the limit counts from here
        timers->advanceBy(seconds(14399));
        runMain();
        EXPECT_TRUE(recorder->stopCompletions.empty()) << "neither pausing nor restarting ends it early";

        timers->advanceBy(seconds(1));
        runMain();
        EXPECT_TRUE(environment.log().contains(MacShell::timeLimitLine));
        completeStop();
        EXPECT_EQ(titles(), (Calls { "会議の録音を保存しました / Vantorelで議事録への保存を始めます。" }));
        EXPECT_FALSE(center->added.front().content.sound);
        EXPECT_EQ(opened, (Calls { recordPage }));
        EXPECT_EQ(plugin().takeCalls().back(), "showWindow");
        EXPECT_EQ(takeEvaluated(), (Calls { activeScript, inactiveScript }));
        EXPECT_FALSE(shell->session().recording || shell->hasLimitTimer());

        // A limit firing already on its way when the recording ended is dropped.
        startFromPopup();
        timers->advanceBy(MacShell::recordingTimeLimit); // fires; its work waits for the main thread
        shell->recordingEnded();
        runMain();
        timers->advanceBy(seconds(100000));
        runMain();
        EXPECT_TRUE(recorder->stopCompletions.empty());
    }

    TEST_F(MeetingSessionTest, TheMeetingsEndOrFinishSavesARunningRecordingAndAFailedStopTellsTheUser)
    {
        watch("started", "定例");
        takeEvaluated();
        watch("ended");
        EXPECT_EQ(plugin().takeCalls().back(), "hide");
        EXPECT_EQ(shell->session(), MeetingSession {});
        press("finish");
        EXPECT_EQ(takeEvaluated(), (Calls { inactiveScript }));
        EXPECT_TRUE(center->added.empty() && recorder->stopCompletions.empty()) << "nothing was recording";

        watch("started", "定例");
        startFromPopup();
        watch("ended");
        EXPECT_EQ(shell->session(), MeetingSession {}) << "the session is fresh at once, the label gone";
        completeStop();
        EXPECT_EQ(titles().size(), 1u);
        EXPECT_EQ(opened, (Calls { recordPage }));

        watch("started", "定例");
        startFromPopup();
        press("finish");
        completeStop(recorderError(RecorderError::exportFailed, ExportFailure::emptyRecording));
        EXPECT_EQ(titles().back(),
            "録音を保存できませんでした / "
                + errorDescription(RecorderError::exportFailed, ExportFailure::emptyRecording));
        EXPECT_EQ(opened.size(), 1u);
        EXPECT_FALSE(shell->session().recording);
        EXPECT_EQ(shell->session().label, "定例");
    }

} // namespace
} // namespace norla
