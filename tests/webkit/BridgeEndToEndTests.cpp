// The whole path of a bridge message in real WebKit: page → WebKit → bridge → core → reply, on the host
// that the application builds.
#include "OfficeHostFixture.h"

#include <fstream>

namespace norla::test {
namespace {

    using BridgeEndToEndTest = OfficeHostFixture;

    std::string text(const Result<Value>& result)
    {
        if (!result.ok())
            return "error:" + result.error().description();
        return result.value().asString() ? *result.value().asString() : result.value().toJSON();
    }

    TEST_F(BridgeEndToEndTest, OnlyTheApplicationsTopFrameIsAnswered)
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

        // A reply without a value reaches the page as undefined.
        EXPECT_EQ(text(call(*webView, "return await probeBridge('norlaRecorder', { cmd: 'pending' });")),
            "resolved:undefined");
    }

    TEST_F(BridgeEndToEndTest, AFrameHandedEverythingTheTopPageCanReadIsStillRefused)
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

    TEST_F(BridgeEndToEndTest, TheApplicationsPageGetsTheMicrophoneAndAFrameOfAnotherOriginItDelegatedItToDoesNot)
    {
        auto webView = openOffice("/test/microphone.html");
        ASSERT_TRUE(webView);
        EXPECT_TRUE(text(call(*webView, "return await window.askMicrophone();")).starts_with("granted:"));
        ASSERT_TRUE(
            waitForLoad(*webView, [&] { coordinator()->load(*parseUrl(origin() + "/test/microphone.html?frame=1")); }));
        EXPECT_EQ(text(call(*webView, "return await window.frameAnswer;")), "denied:NotAllowedError");
    }

    TEST_F(BridgeEndToEndTest, PageNotificationsAndThePermissionReachTheNotificationCenter)
    {
        notificationCenter().status = NotificationAuthorizationStatus::authorized;
        auto webView = openOffice("/chat");
        ASSERT_TRUE(webView);
        EXPECT_TRUE(waitInPage(*webView, "Notification.permission === 'granted'"));

        auto posted = call(*webView,
            "new Notification('会議', { body: '始まります', tag: 'room' });\n"
            "new Notification('会議（変更）', { tag: 'room', silent: true });\n"
            "return true;");
        ASSERT_TRUE(posted.ok());
        ASSERT_TRUE(runUntil([] { return notificationCenter().added.size() >= 2; }, 10));
        EXPECT_EQ(notificationCenter().added.at(0).content.body, "始まります");
        const auto& delivered = notificationCenter().delivered;
        ASSERT_EQ(delivered.size(), 1u) << "the same tag replaces";
        EXPECT_EQ(delivered.at("web-room").content.title, "会議（変更）");
        EXPECT_FALSE(delivered.at("web-room").content.sound);
    }

    TEST_F(BridgeEndToEndTest, BadgesReachTheDesktopAndTheShellOverridesVisibility)
    {
        auto webView = openOffice("/chat");
        ASSERT_TRUE(webView);
        ASSERT_TRUE(postToServer(*webView, "/api/test/badges", R"({"chatUnread":4,"notifications":3})").ok());
        ASSERT_TRUE(call(*webView, "window.dispatchEvent(new Event('office-badges-refresh'));").ok());
        ASSERT_TRUE(runUntil([] { return notificationCenter().badgeCount == 7; }, 10))
            << notificationCenter().badgeCount.value_or(-1);

        auto visibility = [&] { return text(call(*webView, "return document.visibilityState;")); };
        EXPECT_EQ(visibility(), "visible");
        ASSERT_TRUE(call(*webView, "window.dispatchEvent(new Event('norla:hidden'));").ok());
        EXPECT_EQ(visibility(), "hidden");
        ASSERT_TRUE(call(*webView, "window.dispatchEvent(new Event('norla:shown'));").ok());
        EXPECT_EQ(visibility(), "visible");
    }

    TEST_F(BridgeEndToEndTest, RecordingsAreReadThroughTheRecordingSchemeOnlyFromTheRecordingsDirectoryAndDiscarded)
    {
        auto session = recordingsDirectory() / "5e7a1c3e-0000-4000-8000-000000000001";
        std::filesystem::create_directories(session);
        std::string bytes = "not really AAC, but the scheme serves bytes";
        std::ofstream(session / "meeting.m4a", std::ios::binary) << bytes;
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
        // Out of the directory by "..": the scheme fails the load, and WebKit rejects the page's fetch.
        auto climbed = read(recordingsDirectory() / ".." / ".." / ".." / "elsewhere" / "meeting.m4a");
        ASSERT_FALSE(climbed.ok()) << text(climbed);
        EXPECT_EQ(climbed.error().description().find("private"), std::string::npos);

        auto discard = [&](const std::filesystem::path& path) {
            return text(call(*webView, "return String(await window.norlaMobile.discardRecording(path));",
                { { "path", path.string() } }));
        };
        EXPECT_EQ(discard(outside / "meeting.m4a"), "undefined");
        EXPECT_TRUE(std::filesystem::exists(outside / "meeting.m4a"));
        EXPECT_EQ(discard(session / "meeting.m4a"), "undefined");
        EXPECT_FALSE(std::filesystem::exists(session));
        EXPECT_FALSE(read(session / "meeting.m4a").ok());
        EXPECT_EQ(
            text(call(*webView, "return String(await window.norlaMobile.pendingMeetingRecording());")), "undefined");
    }

} // namespace
} // namespace norla::test
