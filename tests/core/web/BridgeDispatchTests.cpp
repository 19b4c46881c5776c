#include "WebHostFixture.h"

#include "web/BridgeCommands.h"

namespace norla::test {
namespace {

    const BridgeAnswer refused = BridgeAnswer::failure("不正な呼び出しです");
    BridgeAnswer ok(std::optional<std::string> result = std::nullopt) { return BridgeAnswer::value(std::move(result)); }
    BridgeAnswer failed(std::string text) { return BridgeAnswer::failure(std::move(text)); }
    BridgeAnswer unknown(const std::string& command) { return failed("未知の操作です: " + command); }

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
        static Value signIn()
        {
            return command("startOAuth",
                { { "url", "https://accounts.google.com/" }, { "callbackHost", "h" }, { "callbackPath", "/p" } });
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
        void recorderCommand(Value body) { send(message("norlaRecorder", std::move(body))); }

        Window window;
        std::shared_ptr<std::vector<BridgeAnswer>> answers = std::make_shared<std::vector<BridgeAnswer>>();
    };

    TEST_F(BridgeDispatchTest, TheGuardRefusesSubFramesOtherHostsAndMalformedBodies)
    {
        const auto permission = command("notificationPermission");
        for (auto& refusedMessage :
            { message("norlaShell", permission, false), message("norlaShell", permission, true, "evil.com"),
                message("norlaShell", permission, true, "Office.Norla.JP"), message("norlaShell", permission, true, ""),
                message("norlaShell", Value(Value::Array { "notificationPermission" })),
                message("norlaShell", Value("notificationPermission")),
                message("norlaShell", Value(Value::Object { { "command", "notificationPermission" } })),
                message("norlaShell", Value(Value::Object { { "cmd", 1 } })) })
            send(refusedMessage);
        // The host is the coordinator's own application URL's, exactly; an application URL without one
        // lets nothing in.
        auto local = openWindow(url("http://127.0.0.1:3000/"));
        send(message("norlaShell", permission, true, "127.0.0.1"), local);
        send(message("norlaShell", permission, true, "localhost"), local);
        send(message("norlaShell", permission, true, ""), openWindow(url("file:///srv/app/index.html")));
        auto expected = std::vector<BridgeAnswer>(8, refused);
        expected.insert(expected.end(), { ok("default"), refused, refused });
        EXPECT_EQ(*answers, expected);
        EXPECT_EQ(badges->permissionRequests, std::vector<bool> { false });
    }

    TEST_F(BridgeDispatchTest, CommandsAnsweredAtOnceAndWhatTheyPassOn)
    {
        badges->permissionWord = "granted";
        Value::Object counts { { "chatUnread", 3 }, { "notifications", 2 } };
        struct Row {
            const char* handler;
            Value body;
            BridgeAnswer answer;
        };
        const Row rows[] = {
            // Each handler has its own table.
            { "norlaShell", command("start"), unknown("start") },
            { "norlaRecorder", command("notify"), unknown("notify") },
            { "norlaShell", command(""), unknown("") },
            { "someOtherHandler", command("notify"), unknown("notify") },
            // Notifications read their arguments with defaults; badges pass on object counts only.
            { "norlaShell",
                command("notify", { { "title", "会議" }, { "body", "10分後" }, { "tag", "m1" }, { "sound", false } }),
                ok() },
            { "norlaShell",
                command(
                    "notify", { { "title", 3 }, { "body", Value() }, { "tag", Value::Array {} }, { "sound", "no" } }),
                ok() },
            { "norlaShell", command("badges", { { "counts", counts } }), ok() },
            { "norlaShell", command("badges", { { "counts", Value::Array { 1, 2 } } }), ok() },
            { "norlaShell", command("notificationPermission"), ok("granted") },
            { "norlaShell", command("requestNotificationPermission"), ok("granted") },
            // Discard needs a string path; refused URLs are answered without opening anything.
            { "norlaRecorder", command("discard", { { "path", 5 } }), ok() },
            { "norlaRecorder", command("discard", { { "path", "/r/c/meeting.m4a" } }), ok() },
            { "norlaRecorder", command("openExternal", { { "url", "javascript:alert(1)" } }), ok() },
            { "norlaRecorder", command("openExternal", { { "url", "file:///etc/passwd" } }), ok() },
            // A sign-in with an argument missing or wrong answers "error".
            { "norlaRecorder", command("startOAuth", { { "url", "https://a.jp/" }, { "callbackHost", "h" } }),
                ok("error") },
            { "norlaRecorder", command("startOAuth", { { "url", "https://a.jp/" }, { "callbackPath", "/p" } }),
                ok("error") },
            { "norlaRecorder",
                command(
                    "startOAuth", { { "url", "::not a url::" }, { "callbackHost", "h" }, { "callbackPath", "/p" } }),
                ok("error") },
            { "otherHandler", signIn(), ok("error") },
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(std::string(row.handler) + " " + row.body.toJSON());
            auto before = answers->size();
            send(message(row.handler, row.body));
            ASSERT_EQ(answers->size(), before + 1);
            EXPECT_EQ(answers->back(), row.answer);
        }
        EXPECT_EQ(badges->notifications,
            (std::vector<FakeBadgeNotifications::PageNotification> {
                { "会議", "10分後", "m1", false }, { "", std::nullopt, std::nullopt, true } }));
        EXPECT_EQ(badges->appliedCounts, std::vector<Value::Object> { counts });
        EXPECT_EQ(badges->permissionRequests, (std::vector<bool> { false, true }));
        EXPECT_EQ(recorder->calls, std::vector<std::string> { "discard /r/c/meeting.m4a" });
        EXPECT_TRUE(opener->opened.empty());
        EXPECT_TRUE(oauth->runs.empty());
    }

    // Every command, given arguments of every wrong shape, is answered, never by dropping its reply, once
    // the services have answered what they were given.
    TEST_F(BridgeDispatchTest, ArgumentsOfAnyShapeAreAnswered)
    {
        const Value shapes[] = { Value(), Value(true), Value(-1e308), Value(""), Value("javascript:1"),
            Value("mailto:a@example.com"), Value(std::string(1 << 12, '/')), Value(Value::Array { Value::Object {} }),
            Value(Value::Object { { "url", 1 } }) };
        size_t sent = 0;
        for (const auto& [handler, table] : { std::pair { "norlaShell", &shellCommandTable() },
                 std::pair { "norlaRecorder", &recorderCommandTable() } }) {
            for (const auto& shape : shapes) {
                for (const auto& entry : *table) {
                    Value::Object arguments;
                    for (const char* key :
                        { "url", "path", "counts", "title", "body", "tag", "sound", "callbackHost", "callbackPath" })
                        arguments[key] = shape;
                    window.coordinator->didReceiveScriptMessage(
                        message(handler, command(entry.first, std::move(arguments))), reply());
                    ++sent;
                }
            }
        }
        env.main().runUntilIdle();
        for (auto& completion : std::exchange(recorder->startCompletions, {}))
            completion(Error("RecorderError", 1, "失敗"));
        for (auto& completion : std::exchange(recorder->stopCompletions, {}))
            completion(std::string("/r/x/meeting.m4a"));
        for (auto& completion : std::exchange(recorder->pendingCompletions, {}))
            completion(std::optional<std::string>());
        for (auto& completion : std::exchange(oauth->completions, {}))
            completion("ok");
        opener->completeAll();
        env.main().runUntilIdle();
        ASSERT_EQ(answers->size(), sent);
        for (const auto& answer : *answers)
            EXPECT_NE(answer.error, BridgeReply::droppedMessage);
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
        ASSERT_EQ(recorder->stopCompletions.size(), 2u);
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

    TEST_F(BridgeDispatchTest, ListedSchemesOpenAndAnswerAfterTheSystemDid)
    {
        for (const char* text :
            { "HTTPS://example.com/a", "http://example.com/", "MailTo:a@example.com", "tel:+81312345678" })
            recorderCommand(command("openExternal", { { "url", text } }));
        EXPECT_EQ(opener->opened.size(), 4u);
        EXPECT_EQ(answers->size(), 0u) << "no reply before the system answered";
        opener->completeAll(false);
        env.main().runUntilIdle();
        EXPECT_EQ(*answers, std::vector<BridgeAnswer>(4, ok()));
    }

    TEST_F(BridgeDispatchTest, SignInRunsOnTheWindowsWebViewAndAnswersItsWord)
    {
        recorderCommand(command("startOAuth",
            { { "url", "https://accounts.google.com/o/oauth2/auth?x=1" }, { "callbackHost", " Office.Norla.JP " },
                { "callbackPath", "auth/callback" } }));
        ASSERT_EQ(oauth->runs.size(), 1u);
        EXPECT_EQ(oauth->runs[0].url, "https://accounts.google.com/o/oauth2/auth?x=1");
        EXPECT_EQ(oauth->runs[0].callbackHost, " Office.Norla.JP ") << "normalised by the sign-in itself";
        EXPECT_EQ(oauth->runs[0].callbackPath, "auth/callback");
        EXPECT_EQ(oauth->runs[0].webView.lock(), window.webView);
        EXPECT_EQ(oauth->runs[0].appURL, "https://office.norla.jp");
        oauth->completions[0]("cancelled");
        env.main().runUntilIdle();
        EXPECT_EQ(*answers, std::vector<BridgeAnswer> { ok("cancelled") });

        window.webView.reset();
        recorderCommand(signIn());
        EXPECT_EQ(oauth->runs.size(), 1u);
        EXPECT_EQ(answers->back(), ok("error")) << "no web view to sign in on";
    }

    TEST_F(BridgeDispatchTest, MissingPartsOfTheShellAnswerClearly)
    {
        Seam<MeetingRecorderService>::install(nullptr);
        Seam<BadgeNotificationService>::install(nullptr);
        Seam<NativeOAuthService>::install(nullptr);
        Seam<UrlOpener>::install(nullptr);
        recorderCommand(command("start"));
        recorderCommand(command("stop"));
        send(message("norlaShell", command("notificationPermission")));
        recorderCommand(signIn());
        recorderCommand(command("openExternal", { { "url", "https://example.com/" } }));
        EXPECT_EQ(*answers,
            (std::vector<BridgeAnswer> { failed("この操作はまだ使えません: start"),
                failed("この操作はまだ使えません: stop"), failed("この操作はまだ使えません: notificationPermission"),
                ok("error"), ok() }));
        EXPECT_EQ(session->events, std::vector<std::string> { "ended" });
    }

    TEST_F(BridgeDispatchTest, AMessageStillQueuedWhenItsCoordinatorIsFreedIsAnsweredAnyway)
    {
        window.coordinator->didReceiveScriptMessage(message("norlaShell", command("notificationPermission")), reply());
        window.coordinator.reset();
        env.main().runUntilIdle();
        EXPECT_EQ(*answers, std::vector<BridgeAnswer> { ok("default") });
    }

} // namespace
} // namespace norla::test
