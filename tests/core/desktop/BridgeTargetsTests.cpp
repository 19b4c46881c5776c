#include "DesktopShellFixture.h"

#include "FakeAuthenticationSessions.h"
#include "FakeWebView.h"
#include "auth/NativeOAuth.h"
#include "desktop/BridgeTargets.h"
#include "web/BridgeDispatcher.h"
#include "web/RecordingSchemeHandlerFactory.h"

namespace norla {
namespace {

    // The page's commands reach the real desktop objects once their targets are installed.
    class BridgeTargetsTest : public test::DesktopShellFixture {
    protected:
        void SetUp() override
        {
            makeShell();
            Seam<MeetingRecorderService>::install(recorder);
            installBridgeTargets(*shell, push, *oauth);
            webView->currentURL = parseUrl("https://office.norla.jp/chat");
        }
        void TearDown() override
        {
            test::resetSeams<MeetingRecorderService, BadgeNotificationService, MeetingSessionEvents,
                PushNotificationsService, NativeOAuthService, RecordingSchemeHandlerFactory>();
        }

        // Sends one message from the application's main frame; its answer lands in the returned slot.
        std::shared_ptr<std::optional<BridgeAnswer>> send(
            std::string handler, std::string cmd, Value::Object arguments = {})
        {
            arguments["cmd"] = std::move(cmd);
            auto answer = std::make_shared<std::optional<BridgeAnswer>>();
            BridgeDispatcher::dispatch(*parseUrl("https://office.norla.jp"), webView,
                { std::move(handler), Value(std::move(arguments)), { true, { "https", "office.norla.jp", 0 } } },
                BridgeReply([answer](BridgeAnswer given) { *answer = std::move(given); }));
            runMain();
            return answer;
        }

        std::shared_ptr<NativeOAuth> oauth
            = NativeOAuth::make(std::make_shared<test::FakeAuthenticationSessionFactory>());
        std::shared_ptr<test::FakeWebView> webView = std::make_shared<test::FakeWebView>();
    };

    TEST_F(BridgeTargetsTest, ShellCommandsReachBadgesNotificationsAndPermission)
    {
        send("norlaShell", "badges",
            { { "counts", Value::Object { { "outbox", 2 }, { "notifications", 1 }, { "chatUnread", 4 } } } });
        EXPECT_EQ(plugin().takeCalls(), (std::vector<std::string> { "title 6" }));
        EXPECT_EQ(center->badgeCount, 5);
        send("norlaShell", "notify", { { "title", "会議" }, { "tag", "m1" }, { "sound", false } });
        EXPECT_TRUE(center->delivered.contains("web-m1"));
        EXPECT_EQ(*send("norlaShell", "requestNotificationPermission"), BridgeAnswer::value("granted"));
    }

    TEST_F(BridgeTargetsTest, ThePagesRecordingsAndTheMeetingSessionShareOneRecorder)
    {
        auto started = send("norlaRecorder", "start");
        recorder->completeStart();
        runMain();
        EXPECT_EQ(*started, BridgeAnswer::value());
        EXPECT_TRUE(shell->session().recording && shell->hasLimitTimer());
        send("norlaRecorder", "pause");
        EXPECT_TRUE(shell->session().paused);

        shell->finishRecording(); // the session sees the page's recording and stops it
        ASSERT_EQ(recorder->stopCompletions.size(), 1u);
        recorder->completeStop();
    }

} // namespace
} // namespace norla
