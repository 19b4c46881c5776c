// The whole path of a bridge message in real WebKit: page → WebKit → bridge → core → reply, on the host
// that the application builds.
#include "OfficeHostFixture.h"

#include "platform/NotificationCenter.h"
#include "web/OfficeNotifications.h"

#include <fstream>

namespace norla::test {
namespace {

    using BridgeEndToEndTests = OfficeHostFixture;

    std::string text(const Result<Value>& result)
    {
        if (!result.ok())
            return "error:" + result.error().description();
        return result.value().asString() ? *result.value().asString() : result.value().toJSON();
    }

    TEST_F(BridgeEndToEndTests, OnlyTheApplicationsTopFrameIsAnsweredAndEachHandlerKnowsOnlyItsOwnCommands)
    {
        auto webView = openOffice("/test/frames.html");
        ASSERT_TRUE(webView);
        ASSERT_TRUE(waitInPage(*webView, "window.topResult && Object.keys(window.frameResults).length >= 2", 60));
        auto results = call(*webView, "return { top: window.topResult, frames: window.frameResults };");
        ASSERT_TRUE(results.ok()) << results.error().description();
        const auto& value = results.value();
        EXPECT_EQ(*value.find("top")->find("shell"), Value("resolved:\"default\""));
        EXPECT_EQ(*value.find("top")->find("unknown"), Value("rejected:未知の操作です: start"));
        for (const char* frame : { "same-origin", "other-port" }) {
            const auto* result = value.find("frames")->find(frame);
            ASSERT_NE(result, nullptr) << frame;
            EXPECT_EQ(*result->find("shell"), Value("rejected:不正な呼び出しです")) << frame;
            EXPECT_EQ(*result->find("recorder"), Value("rejected:不正な呼び出しです")) << frame;
            EXPECT_EQ(*result->find("hasNorlaMobile"), Value(false)) << frame;
        }
        // The frame on another host is not the application's: it went to the browser, not into the page.
        EXPECT_EQ(value.find("frames")->find("other-host"), nullptr);
        ASSERT_TRUE(runUntil([&] { return !openedURLs().empty(); }, 10));
        EXPECT_TRUE(openedURLs().front().starts_with("http://localhost:")) << openedURLs().front();

        auto probe = [&](const char* handler, const char* message) {
            return text(call(*webView, std::string("return await probeBridge('") + handler + "', " + message + ");"));
        };
        EXPECT_EQ(probe("norlaRecorder", "{ cmd: 'notificationPermission' }"),
            "rejected:未知の操作です: notificationPermission");
        EXPECT_EQ(probe("norlaShell", "{ cmd: 'pending' }"), "rejected:未知の操作です: pending");
        EXPECT_EQ(probe("norlaShell", "{ cmd: 'no-such-command' }"), "rejected:未知の操作です: no-such-command");
        EXPECT_EQ(probe("norlaShell", "{ title: 'no command' }"), "rejected:不正な呼び出しです");
        EXPECT_EQ(probe("norlaRecorder", "{ cmd: 7 }"), "rejected:不正な呼び出しです");
        EXPECT_EQ(probe("norlaRecorder", "{ cmd: 'pending' }"), "resolved:undefined");
        EXPECT_EQ(probe("norlaRecorder", "{ cmd: 'openExternal', url: 'javascript:alert(1)' }"), "resolved:undefined");
        EXPECT_EQ(
            probe("norlaRecorder", "{ cmd: 'startOAuth', url: 'https://example.com', callbackHost: 'example.com' }"),
            "resolved:\"error\"");
    }

    TEST_F(BridgeEndToEndTests, AFrameHandedEverythingTheTopPageCanReadIsStillRefused)
    {
        auto webView = openOffice("/test/token-theft.html");
        ASSERT_TRUE(webView);
        // Thousands of replayed messages: minutes on a busy machine under the sanitizers.
        ASSERT_TRUE(waitInPage(*webView, "window.replayResult !== undefined", 300));
        auto result = call(*webView, "return window.replayResult;");
        ASSERT_TRUE(result.ok()) << result.error().description();
        ASSERT_TRUE(result.value().find("words") && result.value().find("words")->asInteger());
        EXPECT_GT(*result.value().find("words")->asInteger(), 0) << "the frame was handed nothing to try";
        EXPECT_EQ(result.value().find("accepted")->toJSON(), "[]");
    }

    TEST_F(BridgeEndToEndTests, TheApplicationsPageGetsTheMicrophoneAndAFrameOfAnotherOriginItDelegatedItToDoesNot)
    {
        auto webView = openOffice("/test/microphone.html");
        ASSERT_TRUE(webView);
        EXPECT_TRUE(text(call(*webView, "return await window.askMicrophone();")).starts_with("granted:"));
        ASSERT_TRUE(
            waitForLoad(*webView, [&] { coordinator()->load(*parseUrl(origin() + "/test/microphone.html?frame=1")); }));
        EXPECT_EQ(text(call(*webView, "return await window.frameAnswer;")), "denied:NotAllowedError");
    }

    TEST_F(BridgeEndToEndTests, APageOnAnotherHostThanTheApplicationsIsRefused)
    {
        // The page is served from 127.0.0.1, which navigation lets in; the bridge's application is on localhost.
        auto port = origin().substr(origin().rfind(':'));
        auto webView = openOffice("/test/bridge.html", "http://localhost" + port);
        ASSERT_TRUE(webView);
        ASSERT_TRUE(waitForLoad(*webView, [&] { coordinator()->load(*parseUrl(origin() + "/test/bridge.html")); }));
        // Its own URL is not one that navigation lets in: it went to the browser.
        EXPECT_EQ(openedURLs(), std::vector<std::string> { "http://localhost" + port + "/test/bridge.html" });
        auto installed = call(*webView,
            "return [typeof window.norlaMobile, window.Notification === undefined ? '' : "
            "String(!!window.__norlaMacShell)];");
        ASSERT_TRUE(installed.ok());
        EXPECT_EQ(installed.value(), Value(Value::Array { "undefined", "false" }));
        EXPECT_EQ(text(call(*webView, "return await probeBridge('norlaShell', { cmd: 'notificationPermission' });")),
            "rejected:不正な呼び出しです");
        EXPECT_EQ(text(call(*webView, "return await probeBridge('norlaRecorder', { cmd: 'pending' });")),
            "rejected:不正な呼び出しです");
    }

    TEST_F(BridgeEndToEndTests, PageNotificationsAndPermissionWordsReachTheNotificationCenter)
    {
        notificationCenter().status = NotificationAuthorizationStatus::authorized;
        auto webView = openOffice("/chat");
        ASSERT_TRUE(webView);
        EXPECT_TRUE(waitInPage(*webView, "Notification.permission === 'granted'"));

        notificationCenter().status = NotificationAuthorizationStatus::notDetermined;
        notificationCenter().userAnswer = NotificationAuthorizationStatus::denied;
        EXPECT_EQ(text(call(*webView, "return await Notification.requestPermission();")), "denied");
        EXPECT_EQ(text(call(*webView, "return Notification.permission;")), "denied");
        EXPECT_FALSE(notificationCenter().authorizationRequests.empty());

        auto posted = call(*webView,
            "new Notification('会議', { body: '始まります', tag: 'room' });\n"
            "new Notification('会議（変更）', { tag: 'room', silent: true });\n"
            "new Notification('タグなし');\n"
            "return true;");
        ASSERT_TRUE(posted.ok());
        ASSERT_TRUE(runUntil([] { return notificationCenter().added.size() >= 3; }, 10));
        const auto& delivered = notificationCenter().delivered;
        EXPECT_EQ(delivered.size(), 2u);
        ASSERT_TRUE(delivered.contains("web-room"));
        EXPECT_EQ(delivered.at("web-room").content.title, "会議（変更）");
        EXPECT_FALSE(delivered.at("web-room").content.sound);
        EXPECT_TRUE(notificationCenter().added.at(0).content.sound);
        EXPECT_EQ(notificationCenter().added.at(0).content.body, "始まります");
        EXPECT_EQ(notificationCenter().added.at(2).content.title, "タグなし");
    }

    TEST_F(BridgeEndToEndTests, BadgesFollowThePollsAndTheShellsVisibilityAndStaleReloadsWaitForTheRecording)
    {
        auto webView = openOffice("/chat");
        ASSERT_TRUE(webView);
        // The page's own polls ran at load; the held ones are the shell's two.
        ASSERT_TRUE(postToServer(*webView, "/api/test/badges", R"({"chatUnread":4,"notifications":3})").ok());
        EXPECT_EQ(runPagePolls(*webView), 1);
        ASSERT_TRUE(runUntil([] { return notificationCenter().badgeCount == 7; }, 10))
            << notificationCenter().badgeCount.value_or(-1);

        auto visibility = [&] { return text(call(*webView, "return document.visibilityState;")); };
        EXPECT_EQ(visibility(), "visible");
        ASSERT_TRUE(call(*webView, "window.dispatchEvent(new Event('norla:hidden'));").ok());
        EXPECT_EQ(visibility(), "hidden");
        // Shown again: the page polls its badges at once.
        ASSERT_TRUE(postToServer(*webView, "/api/test/badges", R"({"chatUnread":1,"notifications":1})").ok());
        ASSERT_TRUE(call(*webView, "window.dispatchEvent(new Event('norla:shown'));").ok());
        EXPECT_EQ(visibility(), "visible");
        ASSERT_TRUE(runUntil([] { return notificationCenter().badgeCount == 2; }, 10));

        // A new deployment while recording and hidden: the page stays.
        NotificationCenter::defaultCenter().post(
            std::string(officeEvaluate), std::string("window.__norlaRecordingActive = true; window.__marker = 1;"));
        ASSERT_TRUE(waitInPage(*webView, "window.__marker === 1"));
        ASSERT_TRUE(postToServer(*webView, "/api/version/bump").ok());
        ASSERT_TRUE(call(*webView, "window.dispatchEvent(new Event('norla:hidden'));").ok());
        auto versionPolls
            = "performance.getEntriesByType('resource').filter((e) => e.name.endsWith('/api/version')).length";
        auto before = call(*webView, std::string("return ") + versionPolls + ";");
        ASSERT_TRUE(before.ok());
        EXPECT_EQ(runPagePolls(*webView), 1);
        ASSERT_TRUE(waitInPage(*webView, std::string(versionPolls) + " > " + before.value().toJSON()));
        // Past the answer's handling (a few turns of the page's loop), the page is still the same one.
        EXPECT_EQ(text(call(*webView,
                      "await new Promise((resolve) => setTimeout(resolve, 300)); return String(window.__marker);")),
            "1");

        // The recording ends: the next visibility check reloads the stale page.
        EXPECT_TRUE(waitForLoad(*webView, [&] {
            NotificationCenter::defaultCenter().post(std::string(officeEvaluate),
                std::string(
                    "window.__norlaRecordingActive = false; document.dispatchEvent(new Event('visibilitychange'));"));
        }));
        EXPECT_EQ(text(call(*webView, "return String(window.__marker);")), "undefined");
    }

    TEST_F(BridgeEndToEndTests, RecordingsAreReadThroughTheRecordingSchemeOnlyFromTheRecordingsDirectoryAndDiscarded)
    {
        auto session = recordingsDirectory() / "5e7a1c3e-0000-4000-8000-000000000001";
        std::filesystem::create_directories(session);
        std::string bytes = "not really AAC, but the scheme serves bytes";
        std::ofstream(session / "meeting.m4a", std::ios::binary) << bytes;
        std::ofstream(session / "mic.f32", std::ios::binary) << "raw";
        auto outside = dataDirectory() / "elsewhere";
        std::filesystem::create_directories(outside);
        std::ofstream(outside / "meeting.m4a", std::ios::binary) << "private";

        auto webView = openOffice("/chat");
        ASSERT_TRUE(webView);
        auto read = [&](const std::filesystem::path& path) {
            return call(*webView,
                "const buffer = await window.norlaMobile.readRecording(path);\n"
                "return new TextDecoder().decode(buffer);",
                { { "path", path.string() } });
        };
        EXPECT_EQ(text(read(session / "meeting.m4a")), bytes);
        // Outside the directory, out of it by "..", out of it through a link, and a file that is not there.
        std::filesystem::create_symlink(outside / "meeting.m4a", session / "linked.m4a");
        for (const auto& refused :
            { outside / "meeting.m4a", recordingsDirectory() / ".." / ".." / ".." / "elsewhere" / "meeting.m4a",
                session / "linked.m4a", recordingsDirectory() / "missing" / "meeting.m4a" }) {
            auto answer = read(refused);
            // The scheme fails the load: WebKit rejects the page's fetch before it sees a response.
            ASSERT_FALSE(answer.ok()) << refused << ": " << text(answer);
            EXPECT_EQ(answer.error().description().find("private"), std::string::npos);
        }

        auto discard = [&](const std::filesystem::path& path) {
            return text(call(*webView, "return String(await window.norlaMobile.discardRecording(path));",
                { { "path", path.string() } }));
        };
        EXPECT_EQ(discard(outside / "meeting.m4a"), "undefined");
        EXPECT_TRUE(std::filesystem::exists(outside / "meeting.m4a"));
        EXPECT_EQ(discard(session / "mic.f32"), "undefined");
        EXPECT_TRUE(std::filesystem::exists(session));
        EXPECT_EQ(discard(session / "meeting.m4a"), "undefined");
        EXPECT_FALSE(std::filesystem::exists(session));
        EXPECT_FALSE(read(session / "meeting.m4a").ok());
        EXPECT_EQ(
            text(call(*webView, "return String(await window.norlaMobile.pendingMeetingRecording());")), "undefined");
    }

} // namespace
} // namespace norla::test
