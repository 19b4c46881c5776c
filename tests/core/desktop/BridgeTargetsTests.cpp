#include "DesktopShellFixture.h"

#include "FakeAuthenticationSessions.h"
#include "FakeBridgeServices.h"
#include "FakeKeyValueStore.h"
#include "FakeWebView.h"
#include "InlineBackgroundExecutor.h"
#include "auth/NativeOAuth.h"
#include "desktop/BridgeTargets.h"
#include "desktop/PushNotifications.h"
#include "recording/RecordingSchemeHandler.h"
#include "web/BridgeDispatcher.h"
#include "web/RecordingSchemeHandlerFactory.h"

namespace norla {
namespace {

    // The page's commands reach the real desktop objects once their targets are installed.
    class BridgeTargetsTest : public test::DesktopShellFixture {
    protected:
        void SetUp() override
        {
            DesktopShellFixture::SetUp();
            makeShell();
            plugin().takeCalls();
            Seam<MeetingRecorderService>::install(pageRecorder);
            installBridgeTargets(*shell, push, *oauth);
            appURL = *parseUrl("https://office.norla.jp");
            webView->currentURL = parseUrl("https://office.norla.jp/chat");
        }
        void TearDown() override
        {
            Seam<MeetingRecorderService>::install(nullptr);
            Seam<BadgeNotificationService>::install(nullptr);
            Seam<MeetingSessionEvents>::install(nullptr);
            Seam<PushNotificationsService>::install(nullptr);
            Seam<NativeOAuthService>::install(nullptr);
            Seam<RecordingSchemeHandlerFactory>::install(nullptr);
            DesktopShellFixture::TearDown();
        }

        // Sends one message from the application's main frame and returns its answer once it has come.
        std::optional<BridgeAnswer> send(std::string handler, std::string cmd, Value::Object arguments = {})
        {
            arguments["cmd"] = std::move(cmd);
            auto answer = std::make_shared<std::optional<BridgeAnswer>>();
            BridgeDispatcher::dispatch(appURL, webView,
                { std::move(handler), Value(std::move(arguments)), { true, { "https", "office.norla.jp", 0 } } },
                BridgeReply([answer](BridgeAnswer given) { *answer = std::move(given); }));
            runMain();
            return *answer;
        }

        std::shared_ptr<test::FakeMeetingRecorder> pageRecorder = std::make_shared<test::FakeMeetingRecorder>();
        PushNotifications push { { std::make_shared<test::FakeKeyValueStore>(), center, application,
            std::make_shared<test::InlineBackgroundExecutor>() } };
        std::shared_ptr<test::FakeAuthenticationSessionFactory> sessions
            = std::make_shared<test::FakeAuthenticationSessionFactory>();
        std::shared_ptr<NativeOAuth> oauth = NativeOAuth::make(sessions);
        std::shared_ptr<test::FakeWebView> webView = std::make_shared<test::FakeWebView>();
        Url appURL;
    };

    TEST_F(BridgeTargetsTest, ShellCommandsReachBadgesNotificationsAndPermission)
    {
        EXPECT_EQ(send("norlaShell", "badges",
                      { { "counts", Value::Object { { "outbox", 2 }, { "notifications", 1 }, { "chatUnread", 4 } } } }),
            BridgeAnswer::value());
        EXPECT_EQ(plugin().takeCalls(), (std::vector<std::string> { "title 6" }));
        EXPECT_EQ(center->badgeCount, 5);

        send("norlaShell", "notify",
            { { "title", "会議" }, { "body", "まもなく" }, { "tag", "m1" }, { "sound", false } });
        ASSERT_TRUE(center->delivered.contains("web-m1"));
        EXPECT_FALSE(center->delivered.at("web-m1").content.sound);

        EXPECT_EQ(send("norlaShell", "notificationPermission"), BridgeAnswer::value("default"));
        EXPECT_EQ(send("norlaShell", "requestNotificationPermission"), BridgeAnswer::value("granted"));
    }

    TEST_F(BridgeTargetsTest, ThePagesRecordingsKeepTheMeetingSessionInStep)
    {
        auto started = std::make_shared<std::optional<BridgeAnswer>>();
        BridgeDispatcher::dispatch(appURL, webView,
            { "norlaRecorder", Value(Value::Object { { "cmd", "start" } }),
                { true, { "https", "office.norla.jp", 0 } } },
            BridgeReply([started](BridgeAnswer given) { *started = std::move(given); }));
        runMain();
        ASSERT_EQ(pageRecorder->startCompletions.size(), 1u);
        pageRecorder->startCompletions[0]({});
        runMain();
        EXPECT_EQ(*started, BridgeAnswer::value());
        EXPECT_TRUE(shell->session().recording);
        EXPECT_TRUE(shell->hasLimitTimer());
        EXPECT_EQ(plugin().takeCalls(), (std::vector<std::string> { "show recording 会議 -" }));

        send("norlaRecorder", "pause");
        EXPECT_TRUE(shell->session().paused);
    }

    TEST_F(BridgeTargetsTest, StartOAuthRunsTheNativeSignIn)
    {
        auto answer = std::make_shared<std::optional<BridgeAnswer>>();
        BridgeDispatcher::dispatch(appURL, webView,
            { "norlaRecorder",
                Value(Value::Object { { "cmd", "startOAuth" }, { "url", "https://accounts.google.com/o/oauth2/auth" },
                    { "callbackHost", "Office.norla.jp" }, { "callbackPath", "auth/callback" } }),
                { true, { "https", "office.norla.jp", 0 } } },
            BridgeReply([answer](BridgeAnswer given) { *answer = std::move(given); }));
        runMain();
        ASSERT_EQ(sessions->sessions.size(), 1u);
        auto session = sessions->sessions[0].lock();
        EXPECT_EQ(session->callbackHost, "office.norla.jp");
        session->complete(parseUrl("https://office.norla.jp/auth/callback?code=1"), std::nullopt);
        runMain();
        EXPECT_EQ(*answer, BridgeAnswer::value("ok"));
    }

    TEST_F(BridgeTargetsTest, TheWebViewHostGetsTheRecordingHandlerAndThePendingAddress)
    {
        auto handler = Seam<RecordingSchemeHandlerFactory>::get()->makeHandler();
        EXPECT_TRUE(std::dynamic_pointer_cast<RecordingSchemeHandler>(handler));

        push.openInternalURL(*parseUrl("https://office.norla.jp/chat/1"));
        auto pending = Seam<PushNotificationsService>::get()->takePendingOpenURL();
        ASSERT_TRUE(pending);
        EXPECT_EQ(pending->absoluteString, "https://office.norla.jp/chat/1");
        EXPECT_FALSE(push.pendingOpenURL());
    }

} // namespace
} // namespace norla
