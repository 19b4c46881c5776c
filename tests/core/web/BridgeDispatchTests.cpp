#include "WebHostFixture.h"

namespace norla::test {
namespace {

    const BridgeAnswer refused = BridgeAnswer::failure("不正な呼び出しです");
    BridgeAnswer ok(std::optional<std::string> result = std::nullopt) { return BridgeAnswer::value(std::move(result)); }
    BridgeAnswer failed(std::string text) { return BridgeAnswer::failure(std::move(text)); }
    BridgeAnswer unknown(const std::string& command) { return failed("未知の操作です: " + command); }
    BridgeAnswer unavailable(const std::string& command) { return failed("この操作はまだ使えません: " + command); }

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
        static ScriptMessage shell(Value body) { return message("norlaShell", std::move(body)); }
        static ScriptMessage recorderMessage(Value body) { return message("norlaRecorder", std::move(body)); }
        static Value command(std::string cmd, Value::Object arguments = {})
        {
            arguments["cmd"] = std::move(cmd);
            return Value(std::move(arguments));
        }
        static Value signIn(Value url = "https://accounts.google.com/", Value host = "h", Value path = "/p")
        {
            return command("startOAuth", { { "url", url }, { "callbackHost", host }, { "callbackPath", path } });
        }

        // Shared: a reply the fakes still hold when the test ends is answered after the fixture is gone.
        BridgeReply reply()
        {
            return BridgeReply([answers = answers](BridgeAnswer answer) { answers->push_back(std::move(answer)); });
        }
        // Delivers through the coordinator, as the platform does, and runs the main thread.
        void send(ScriptMessage scriptMessage, const Window& to)
        {
            to.coordinator->didReceiveScriptMessage(std::move(scriptMessage), reply());
            env.main().runUntilIdle();
        }
        void send(ScriptMessage scriptMessage) { send(std::move(scriptMessage), window); }
        void recorderCommand(Value body) { send(recorderMessage(std::move(body))); }

        Window window;
        std::shared_ptr<std::vector<BridgeAnswer>> answers = std::make_shared<std::vector<BridgeAnswer>>();
    };

    TEST_F(BridgeDispatchTest, TheGuardAndTheCommandsThatAnswerAtOnceAndWhatTheyPassOn)
    {
        badges->permissionWord = "granted";
        const Value::Object counts { { "chatUnread", 3 }, { "notifications", 2 } };
        const auto permission = command("notificationPermission");
        const std::pair<ScriptMessage, BridgeAnswer> rows[] = {
            // Only the application's exact host, in the main frame, with a string command gets through.
            { message("norlaShell", permission, false), refused },
            { message("norlaShell", permission, true, "evil.com"), refused },
            { message("norlaShell", permission, true, "Office.Norla.JP"), refused },
            { shell(Value("notificationPermission")), refused },
            { shell(Value(Value::Object { { "command", "notificationPermission" } })), refused },
            { shell(Value(Value::Object { { "cmd", 1 } })), refused },
            // Each handler has its own table.
            { shell(command("start")), unknown("start") },
            { recorderMessage(command("notify")), unknown("notify") },
            { message("someOtherHandler", command("notify")), unknown("notify") },
            // Notifications read their arguments with defaults; badges pass on object counts only.
            { shell(command(
                  "notify", { { "title", "会議" }, { "body", "10分後" }, { "tag", "m1" }, { "sound", false } })),
                ok() },
            { shell(command(
                  "notify", { { "title", 3 }, { "body", Value() }, { "tag", Value::Array {} }, { "sound", "no" } })),
                ok() },
            { shell(command("badges", { { "counts", counts } })), ok() },
            { shell(command("badges", { { "counts", Value::Array { 1, 2 } } })), ok() },
            { shell(command("notificationPermission")), ok("granted") },
            { shell(command("requestNotificationPermission")), ok("granted") },
            // Discard needs a string path; refused or missing URLs are answered without opening anything.
            { recorderMessage(command("discard", { { "path", 5 } })), ok() },
            { recorderMessage(command("discard", { { "path", "/r/c/meeting.m4a" } })), ok() },
            { recorderMessage(command("openExternal", { { "url", "javascript:alert(1)" } })), ok() },
            { recorderMessage(command("openExternal", { { "url", 1 } })), ok() },
            // A sign-in with an argument missing or wrong answers "error".
            { recorderMessage(signIn(Value(), "h", "/p")), ok("error") },
            { recorderMessage(signIn("::not a url::")), ok("error") },
            { recorderMessage(signIn("https://a.jp/", 1)), ok("error") },
            { recorderMessage(signIn("https://a.jp/", "h", Value())), ok("error") },
            { message("otherHandler", signIn()), ok("error") },
        };
        for (const auto& [scriptMessage, answer] : rows) {
            SCOPED_TRACE(scriptMessage.name + " " + scriptMessage.body.toJSON());
            auto before = answers->size();
            send(scriptMessage);
            ASSERT_EQ(answers->size(), before + 1);
            EXPECT_EQ(answers->back(), answer);
        }
        // An application URL's own host is the one let in; one without a host lets nothing in.
        send(message("norlaShell", permission, true, "127.0.0.1"), openWindow(url("http://127.0.0.1:3000/")));
        send(message("norlaShell", permission, true, "localhost"), openWindow(url("http://127.0.0.1:3000/")));
        send(message("norlaShell", permission, true, ""), openWindow(url("file:///srv/app/index.html")));
        EXPECT_EQ(std::vector<BridgeAnswer>(answers->end() - 3, answers->end()),
            (std::vector<BridgeAnswer> { ok("granted"), refused, refused }));

        EXPECT_EQ(badges->notifications,
            (std::vector<FakeBadgeNotifications::PageNotification> {
                { "会議", "10分後", "m1", false }, { "", std::nullopt, std::nullopt, true } }));
        EXPECT_EQ(badges->appliedCounts, std::vector<Value::Object> { counts });
        EXPECT_EQ(badges->permissionRequests, (std::vector<bool> { false, true, false }));
        EXPECT_EQ(recorder->calls, std::vector<std::string> { "discard /r/c/meeting.m4a" });
        EXPECT_TRUE(opener->opened.empty());
        EXPECT_TRUE(oauth->runs.empty());
    }

    TEST_F(BridgeDispatchTest, TheSessionHearsOfRecorderStepsOnlyWhenTheyHappened)
    {
        recorderCommand(command("start"));
        recorderCommand(command("start"));
        ASSERT_EQ(recorder->startCompletions.size(), 2u);
        EXPECT_EQ(answers->size(), 0u) << "the page waits for the recorder";
        recorder->startCompletions[0](Error("RecorderError", 2, "すでに録音中です"));
        env.main().runUntilIdle();
        EXPECT_TRUE(session->events.empty());
        recorder->startCompletions[1](Result<void>());
        env.main().runUntilIdle();

        recorderCommand(command("pause"));
        recorder->resumeResult = Error("RecorderError", 3, "録音していません");
        recorderCommand(command("resume"));
        recorder->discardResult = Error::platform("Permission denied");
        recorderCommand(command("discard", { { "path", "/r/d/meeting.m4a" } }));

        // Stop ends the session either way; completions may arrive off the main thread.
        recorderCommand(command("stop"));
        recorderCommand(command("stop"));
        recorder->stopCompletions[0](std::string("/data/recordings/a/meeting.m4a"));
        recorder->stopCompletions[1](Error("RecorderError", 3, "録音していません"));
        EXPECT_EQ(session->events, (std::vector<std::string> { "started", "paused" }));
        env.main().runUntilIdle();
        EXPECT_EQ(session->events, (std::vector<std::string> { "started", "paused", "ended", "ended" }));

        recorderCommand(command("pending"));
        recorderCommand(command("pending"));
        recorder->pendingCompletions[0](std::optional<std::string>("/r/b/meeting.m4a"));
        recorder->pendingCompletions[1](Error("RecorderError", 5, "録音が空です"));
        env.main().runUntilIdle();
        EXPECT_EQ(*answers,
            (std::vector<BridgeAnswer> { failed("すでに録音中です"), ok(), ok(), failed("録音していません"),
                failed("Permission denied"), ok("/data/recordings/a/meeting.m4a"), failed("録音していません"),
                ok("/r/b/meeting.m4a"), failed("録音が空です") }));
    }

    TEST_F(BridgeDispatchTest, LinksAndSignInsAreAnsweredAfterTheSystemAndTheSheet)
    {
        for (const char* text :
            { "HTTPS://example.com/a", "http://example.com/", "MailTo:a@example.com", "tel:+81312345678" })
            recorderCommand(command("openExternal", { { "url", text } }));
        EXPECT_EQ(opener->opened.size(), 4u);
        recorderCommand(signIn("https://accounts.google.com/o/oauth2/auth?x=1", " Office.Norla.JP ", "auth/callback"));
        EXPECT_EQ(oauth->runs,
            std::vector<std::string> { "https://accounts.google.com/o/oauth2/auth?x=1, "
                                       " Office.Norla.JP , auth/callback, https://office.norla.jp" })
            << "the sign-in normalises its callback itself";
        EXPECT_EQ(oauth->webViews.at(0).lock(), window.webView);
        EXPECT_EQ(answers->size(), 0u) << "no reply before the system or the sheet answered";
        opener->completeAll(false);
        oauth->completions.at(0)("cancelled");
        env.main().runUntilIdle();
        EXPECT_EQ(*answers, (std::vector<BridgeAnswer> { ok(), ok(), ok(), ok(), ok("cancelled") }));

        window.webView.reset();
        recorderCommand(signIn());
        EXPECT_EQ(oauth->runs.size(), 1u);
        EXPECT_EQ(answers->back(), ok("error")) << "no web view to sign in on";
    }

    TEST_F(BridgeDispatchTest, MissingPartsOfTheShellAnswerClearly)
    {
        resetSeams<MeetingRecorderService, BadgeNotificationService, NativeOAuthService, UrlOpener>();
        recorderCommand(command("start"));
        recorderCommand(command("stop"));
        send(shell(command("notificationPermission")));
        recorderCommand(signIn());
        recorderCommand(command("openExternal", { { "url", "https://example.com/" } }));
        EXPECT_EQ(*answers,
            (std::vector<BridgeAnswer> {
                unavailable("start"), unavailable("stop"), unavailable("notificationPermission"), ok("error"), ok() }));
        EXPECT_EQ(session->events, std::vector<std::string> { "ended" });
    }

    TEST_F(BridgeDispatchTest, AMessageStillQueuedWhenItsCoordinatorIsFreedIsAnsweredAnyway)
    {
        window.coordinator->didReceiveScriptMessage(shell(command("notificationPermission")), reply());
        window.coordinator.reset();
        env.main().runUntilIdle();
        EXPECT_EQ(*answers, std::vector<BridgeAnswer> { ok("default") });
    }

} // namespace
} // namespace norla::test
