#include "WebHostFixture.h"

#include "web/BridgeDispatcher.h"

namespace norla::test {
namespace {

    class BridgeDispatchTest : public WebHostTest {
    protected:
        BridgeDispatchTest()
            : window(openWindow())
        {
        }

        static ScriptMessage message(
            std::string handler, Value body, bool mainFrame = true, std::string host = "office.norla.jp")
        {
            return { std::move(handler), std::move(body), { mainFrame, { "https", std::move(host), 0 } } };
        }
        static Value command(std::string cmd, Value::Object arguments = {})
        {
            arguments["cmd"] = std::move(cmd);
            return Value(std::move(arguments));
        }

        // Delivers through the coordinator, as the platform does, and runs the main thread.
        void send(ScriptMessage scriptMessage)
        {
            window.coordinator->didReceiveScriptMessage(std::move(scriptMessage), replies.makeReply());
            env.main().runUntilIdle();
        }
        void shell(Value body) { send(message("norlaShell", std::move(body))); }
        void recorderCommand(Value body) { send(message("norlaRecorder", std::move(body))); }

        static BridgeAnswer ok(std::optional<std::string> result = std::nullopt)
        {
            return BridgeAnswer::value(std::move(result));
        }
        static BridgeAnswer failed(std::string text) { return BridgeAnswer::failure(std::move(text)); }

        Window window;
        ReplyLog replies;
    };

    TEST_F(BridgeDispatchTest, TheGuardRefusesSubFramesOtherHostsAndMalformedBodies)
    {
        send(message("norlaShell", command("notificationPermission"), false));
        send(message("norlaShell", command("notificationPermission"), true, "evil.com"));
        send(message("norlaShell", command("notificationPermission"), true, "Office.Norla.JP"));
        send(message("norlaShell", command("notificationPermission"), true, ""));
        send(message("norlaShell", Value(Value::Array { "notificationPermission" })));
        send(message("norlaShell", Value("notificationPermission")));
        send(message("norlaShell", Value(Value::Object { { "command", "notificationPermission" } })));
        send(message("norlaShell", Value(Value::Object { { "cmd", 1 } })));
        send(message("norlaShell", Value(Value::Object { { "cmd", Value() } })));
        ASSERT_EQ(replies.count(), 9u);
        for (const auto& answer : replies.answers())
            EXPECT_EQ(answer, failed("不正な呼び出しです"));
        EXPECT_TRUE(badges->permissionRequests.empty());
    }

    TEST_F(BridgeDispatchTest, AnApplicationURLWithoutAHostRefusesEverything)
    {
        auto fileWindow = openWindow(url("file:///srv/app/index.html"));
        fileWindow.coordinator->didReceiveScriptMessage(
            message("norlaShell", command("notificationPermission"), true, ""), replies.makeReply());
        env.main().runUntilIdle();
        EXPECT_EQ(replies.answers(), std::vector<BridgeAnswer> { failed("不正な呼び出しです") });
    }

    TEST_F(BridgeDispatchTest, TheHostCheckUsesTheCoordinatorsApplicationURLExactly)
    {
        auto local = openWindow(url("http://127.0.0.1:3000/"));
        local.coordinator->didReceiveScriptMessage(
            message("norlaShell", command("notificationPermission"), true, "127.0.0.1"), replies.makeReply());
        env.main().runUntilIdle();
        local.coordinator->didReceiveScriptMessage(
            message("norlaShell", command("notificationPermission"), true, "localhost"), replies.makeReply());
        env.main().runUntilIdle();
        EXPECT_EQ(replies.answers(), (std::vector<BridgeAnswer> { ok("default"), failed("不正な呼び出しです") }));
    }

    TEST_F(BridgeDispatchTest, EachHandlerHasItsOwnTable)
    {
        shell(command("start"));
        shell(command("openExternal", { { "url", "https://example.com/" } }));
        recorderCommand(command("notify"));
        recorderCommand(command("badges"));
        shell(command("bogus"));
        shell(command(""));
        send(message("someOtherHandler", command("notify")));
        EXPECT_EQ(replies.answers(),
            (std::vector<BridgeAnswer> { failed("未知の操作です: start"), failed("未知の操作です: openExternal"),
                failed("未知の操作です: notify"), failed("未知の操作です: badges"), failed("未知の操作です: bogus"),
                failed("未知の操作です: "), failed("未知の操作です: notify") }));
        EXPECT_TRUE(recorder->startCompletions.empty());
        EXPECT_TRUE(opener->opened.empty());
        EXPECT_TRUE(badges->notifications.empty());
    }

    TEST_F(BridgeDispatchTest, NotifyReadsItsArgumentsWithDefaults)
    {
        shell(command("notify", { { "title", "会議" }, { "body", "10分後" }, { "tag", "m1" }, { "sound", false } }));
        shell(command("notify"));
        shell(
            command("notify", { { "title", 3 }, { "body", Value() }, { "tag", Value::Array {} }, { "sound", "no" } }));
        EXPECT_EQ(badges->notifications,
            (std::vector<FakeBadgeNotifications::PageNotification> { { "会議", "10分後", "m1", false },
                { "", std::nullopt, std::nullopt, true }, { "", std::nullopt, std::nullopt, true } }));
        EXPECT_EQ(replies.answers(), std::vector<BridgeAnswer>(3, ok()));
    }

    TEST_F(BridgeDispatchTest, BadgesPassOnlyObjectCountsAndAlwaysResolveEmpty)
    {
        Value::Object counts { { "chatUnread", 3 }, { "notifications", 2 } };
        shell(command("badges", { { "counts", counts } }));
        shell(command("badges", { { "counts", Value::Array { 1, 2 } } }));
        shell(command("badges"));
        ASSERT_EQ(badges->appliedCounts.size(), 1u);
        EXPECT_EQ(badges->appliedCounts[0], counts);
        EXPECT_EQ(replies.answers(), std::vector<BridgeAnswer>(3, ok()));
    }

    TEST_F(BridgeDispatchTest, PermissionQueriesAskOnlyWhenRequested)
    {
        badges->permissionWord = "granted";
        shell(command("notificationPermission"));
        shell(command("requestNotificationPermission"));
        EXPECT_EQ(badges->permissionRequests, (std::vector<bool> { false, true }));
        EXPECT_EQ(replies.answers(), (std::vector<BridgeAnswer> { ok("granted"), ok("granted") }));
    }

    TEST_F(BridgeDispatchTest, StartTellsTheSessionOnlyAfterTheRecorderStarted)
    {
        recorderCommand(command("start"));
        recorderCommand(command("start"));
        ASSERT_EQ(recorder->startCompletions.size(), 2u);
        EXPECT_EQ(replies.count(), 0u) << "the page waits for the recorder";

        recorder->startCompletions[0](Error("RecorderError", 2, "すでに録音中です"));
        env.main().runUntilIdle();
        EXPECT_TRUE(session->events.empty());
        recorder->startCompletions[1](Result<void>());
        env.main().runUntilIdle();
        EXPECT_EQ(session->events, std::vector<std::string> { "started" });
        EXPECT_EQ(replies.answers(), (std::vector<BridgeAnswer> { failed("すでに録音中です"), ok() }));
    }

    TEST_F(BridgeDispatchTest, PauseAndResumeReportToTheSessionOnSuccessOnly)
    {
        recorderCommand(command("pause"));
        recorder->resumeResult = Error("RecorderError", 3, "録音していません");
        recorderCommand(command("resume"));
        EXPECT_EQ(recorder->calls, (std::vector<std::string> { "pause", "resume" }));
        EXPECT_EQ(session->events, std::vector<std::string> { "paused" });
        EXPECT_EQ(replies.answers(), (std::vector<BridgeAnswer> { ok(), failed("録音していません") }));
    }

    TEST_F(BridgeDispatchTest, StopEndsTheSessionBeforeReplyingOnSuccessAndFailure)
    {
        recorderCommand(command("stop"));
        recorderCommand(command("stop"));
        ASSERT_EQ(recorder->stopCompletions.size(), 2u);
        recorder->stopCompletions[0](std::string("/data/recordings/a/meeting.m4a"));
        recorder->stopCompletions[1](Error("RecorderError", 3, "録音していません"));
        EXPECT_TRUE(session->events.empty()) << "completions may arrive off the main thread";
        env.main().runUntilIdle();
        EXPECT_EQ(session->events, (std::vector<std::string> { "ended", "ended" }));
        EXPECT_EQ(replies.answers(),
            (std::vector<BridgeAnswer> { ok("/data/recordings/a/meeting.m4a"), failed("録音していません") }));
    }

    TEST_F(BridgeDispatchTest, PendingAnswersThePathOrNothing)
    {
        for (int i = 0; i < 3; ++i)
            recorderCommand(command("pending"));
        ASSERT_EQ(recorder->pendingCompletions.size(), 3u);
        recorder->pendingCompletions[0](std::optional<std::string>("/r/b/meeting.m4a"));
        recorder->pendingCompletions[1](std::optional<std::string>());
        recorder->pendingCompletions[2](Error("RecorderError", 5, "録音が空です"));
        env.main().runUntilIdle();
        EXPECT_EQ(
            replies.answers(), (std::vector<BridgeAnswer> { ok("/r/b/meeting.m4a"), ok(), failed("録音が空です") }));
    }

    TEST_F(BridgeDispatchTest, DiscardNeedsAStringPath)
    {
        recorderCommand(command("discard"));
        recorderCommand(command("discard", { { "path", 5 } }));
        recorderCommand(command("discard", { { "path", "/r/c/meeting.m4a" } }));
        recorder->discardResult = Error::platform("Permission denied");
        recorderCommand(command("discard", { { "path", "/r/d/meeting.m4a" } }));
        EXPECT_EQ(
            recorder->calls, (std::vector<std::string> { "discard /r/c/meeting.m4a", "discard /r/d/meeting.m4a" }));
        EXPECT_EQ(replies.answers(), (std::vector<BridgeAnswer> { ok(), ok(), ok(), failed("Permission denied") }));
    }

    TEST_F(BridgeDispatchTest, OpenExternalOpensOnlyListedSchemesAndRepliesAfterTheSystemAnswered)
    {
        for (const char* text : { "javascript:alert(1)", "file:///etc/passwd", "norla-rec://file/x", "not a url", "" })
            recorderCommand(command("openExternal", { { "url", text } }));
        recorderCommand(command("openExternal", { { "url", 12 } }));
        recorderCommand(command("openExternal"));
        EXPECT_TRUE(opener->opened.empty());
        EXPECT_EQ(replies.answers(), std::vector<BridgeAnswer>(7, ok()));

        for (const char* text :
            { "HTTPS://example.com/a", "http://example.com/", "MailTo:a@example.com", "tel:+81312345678" })
            recorderCommand(command("openExternal", { { "url", text } }));
        EXPECT_EQ(opener->opened.size(), 4u);
        EXPECT_EQ(replies.count(), 7u) << "no reply before the system answered";
        opener->completeAll(false);
        env.main().runUntilIdle();
        EXPECT_EQ(replies.answers(), std::vector<BridgeAnswer>(11, ok()));
    }

    TEST_F(BridgeDispatchTest, StartOAuthAnswersErrorForBadArgumentsAndRunsOtherwise)
    {
        Value::Object good { { "url", "https://accounts.google.com/o/oauth2/auth?x=1" },
            { "callbackHost", " Office.Norla.JP " }, { "callbackPath", "auth/callback" } };
        auto without = [&](const char* key) {
            auto arguments = good;
            arguments.erase(key);
            return arguments;
        };
        auto with = [&](const char* key, Value value) {
            auto arguments = good;
            arguments[key] = std::move(value);
            return arguments;
        };
        recorderCommand(command("startOAuth", without("callbackPath")));
        recorderCommand(command("startOAuth", without("callbackHost")));
        recorderCommand(command("startOAuth", without("url")));
        recorderCommand(command("startOAuth", with("url", "::not a url::")));
        recorderCommand(command("startOAuth", with("callbackPath", 1)));
        send(message("otherHandler", command("startOAuth", good)));
        EXPECT_TRUE(oauth->runs.empty());
        EXPECT_EQ(replies.answers(), std::vector<BridgeAnswer>(6, ok("error")));

        recorderCommand(command("startOAuth", good));
        ASSERT_EQ(oauth->runs.size(), 1u);
        EXPECT_EQ(oauth->runs[0].url, "https://accounts.google.com/o/oauth2/auth?x=1");
        EXPECT_EQ(oauth->runs[0].callbackHost, " Office.Norla.JP ") << "normalised by the sign-in itself";
        EXPECT_EQ(oauth->runs[0].callbackPath, "auth/callback");
        EXPECT_EQ(oauth->runs[0].webView.lock(), window.webView);
        EXPECT_EQ(oauth->runs[0].appURL, "https://office.norla.jp");
        oauth->completions[0]("cancelled");
        env.main().runUntilIdle();
        EXPECT_EQ(replies.last(), ok("cancelled"));
    }

    TEST_F(BridgeDispatchTest, StartOAuthWithTheWebViewGoneAnswersError)
    {
        window.webView.reset();
        recorderCommand(command("startOAuth",
            { { "url", "https://accounts.google.com/" }, { "callbackHost", "h" }, { "callbackPath", "/p" } }));
        EXPECT_TRUE(oauth->runs.empty());
        EXPECT_EQ(replies.answers(), std::vector<BridgeAnswer> { ok("error") });
    }

    TEST_F(BridgeDispatchTest, MissingPartsOfTheShellAnswerClearly)
    {
        Seam<MeetingRecorderService>::install(nullptr);
        Seam<BadgeNotificationService>::install(nullptr);
        Seam<NativeOAuthService>::install(nullptr);
        Seam<UrlOpener>::install(nullptr);
        recorderCommand(command("start"));
        recorderCommand(command("stop"));
        shell(command("notificationPermission"));
        recorderCommand(command("startOAuth",
            { { "url", "https://accounts.google.com/" }, { "callbackHost", "h" }, { "callbackPath", "/p" } }));
        recorderCommand(command("openExternal", { { "url", "https://example.com/" } }));
        EXPECT_EQ(replies.answers(),
            (std::vector<BridgeAnswer> { failed("この操作はまだ使えません: start"),
                failed("この操作はまだ使えません: stop"), failed("この操作はまだ使えません: notificationPermission"),
                ok("error"), ok() }));
        EXPECT_EQ(session->events, std::vector<std::string> { "ended" });
    }

    TEST_F(BridgeDispatchTest, AMessageStillQueuedWhenItsCoordinatorIsFreedIsAnsweredAnyway)
    {
        window.coordinator->didReceiveScriptMessage(
            message("norlaShell", command("notificationPermission")), replies.makeReply());
        window.coordinator.reset();
        env.main().runUntilIdle();
        EXPECT_EQ(replies.answers(), std::vector<BridgeAnswer> { ok("default") });
    }

} // namespace
} // namespace norla::test
