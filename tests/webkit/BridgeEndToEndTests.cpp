// The whole path of a bridge message in real WebKit: page → WebKit → bridge → core → reply, on the host
// that the application builds.
#include "WebKitFixture.h"

#include "platform/Seams.h"
#include "web/ScriptMessage.h"

#include <fstream>

namespace norla::test {
namespace {

    using BridgeEndToEndTest = WebKitFixture;

    std::string text(const Result<Value>& result)
    {
        if (!result.ok())
            return "error:" + result.error().description();
        return result.value().asString() ? *result.value().asString() : result.value().toJSON();
    }

    // Answers every message and remembers the frame it came from.
    struct FrameRecordingHandler final : ScriptMessageHandlerWithReply {
        void didReceiveScriptMessage(ScriptMessage message, BridgeReply reply) override
        {
            frames.push_back(message.frameInfo);
            reply.resolve("seen");
        }
        std::vector<FrameInfo> frames;
    };

    TEST_F(BridgeEndToEndTest, AMessageCarriesTheOriginOfTheDocumentThatSentItWhileTheViewLoadsAnotherAddress)
    {
        auto factory = Seam<WebViewFactory>::get();
        auto handler = std::make_shared<FrameRecordingHandler>();
        auto configuration = factory->makeConfiguration();
        configuration->addScriptMessageHandlerWithReply(handler, ContentWorld::page, "norlaShell");
        auto webView = show(factory->makeWebView(std::move(configuration)));
        ASSERT_TRUE(webView);
        auto local = *parseUrl("http://localhost" + origin().substr(origin().rfind(':')) + "/test/index.html");
        ASSERT_TRUE(waitForLoad(*webView, [&] { webView->load(UrlRequest { local }); }));
        // A load on another host that is never answered: the web view's URL moves to it at once, while
        // the page shown is still the one on localhost.
        webView->load(UrlRequest { *parseUrl(origin() + "/test/hang") });
        ASSERT_TRUE(runUntil([&] { return webView->url() && webView->url()->host == "127.0.0.1"; }));
        EXPECT_EQ(
            text(call(*webView, "return await window.webkit.messageHandlers.norlaShell.postMessage({});")), "seen");
        ASSERT_EQ(handler->frames.size(), 1u);
        EXPECT_TRUE(handler->frames[0].isMainFrame);
        EXPECT_EQ(handler->frames[0].securityOrigin.host, "localhost");
    }

    TEST_F(BridgeEndToEndTest, OnlyTheApplicationsTopFrameIsAnsweredEvenAfterItsFramesReadAllItCan)
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

        // A frame handed everything the top page can read is still refused. Thousands of replayed messages:
        // minutes on a busy machine under the sanitizers.
        ASSERT_TRUE(
            waitForLoad(*webView, [&] { coordinator()->load(*parseUrl(origin() + "/test/token-theft.html")); }));
        ASSERT_TRUE(waitInPage(*webView, "window.replayResult !== undefined", 300));
        auto replay = call(*webView, "return window.replayResult;");
        ASSERT_TRUE(replay.ok() && replay.value().find("words") && replay.value().find("words")->asInteger());
        EXPECT_GT(*replay.value().find("words")->asInteger(), 0) << "the frame was handed nothing to try";
        EXPECT_EQ(replay.value().find("accepted")->toJSON(), "[]");
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

    TEST_F(BridgeEndToEndTest, NotificationsAndBadgesReachTheDesktopAndTheShellOverridesVisibility)
    {
        notificationCenter().status = NotificationAuthorizationStatus::authorized;
        auto webView = openOffice("/chat");
        ASSERT_TRUE(webView);
        EXPECT_TRUE(waitInPage(*webView, "Notification.permission === 'granted'"));
        ASSERT_TRUE(call(*webView, "new Notification('会議', { body: '始まります', tag: 'room' });").ok());
        ASSERT_TRUE(runUntil([] { return !notificationCenter().delivered.empty(); }, 10));
        EXPECT_EQ(notificationCenter().delivered.at("web-room").content.body, "始まります");

        ASSERT_TRUE(call(*webView,
            "await fetch('/api/test/badges', { method: 'POST', body: '{\"chatUnread\":4,\"notifications\":3}' });"
            "window.dispatchEvent(new Event('office-badges-refresh'));")
                        .ok());
        ASSERT_TRUE(runUntil([] { return notificationCenter().badgeCount == 7; }, 10))
            << notificationCenter().badgeCount.value_or(-1);

        auto visibility = [&](const char* event) {
            return text(call(*webView, "window.dispatchEvent(new Event(event)); return document.visibilityState;",
                { { "event", event } }));
        };
        EXPECT_EQ(visibility("norla:hidden"), "hidden");
        EXPECT_EQ(visibility("norla:shown"), "visible");
    }

    TEST_F(BridgeEndToEndTest, TheRecordingSchemeServesTheRecordingsDirectoryAndNothingOutsideIt)
    {
        auto session = recordingsDirectory() / "5e7a1c3e-0000-4000-8000-000000000001";
        std::filesystem::create_directories(session);
        std::ofstream(session / "meeting.m4a", std::ios::binary) << "not really AAC, but the scheme serves bytes";
        std::filesystem::create_directories(dataDirectory() / "elsewhere");
        std::ofstream(dataDirectory() / "elsewhere" / "meeting.m4a", std::ios::binary) << "private";

        auto webView = openOffice("/chat");
        ASSERT_TRUE(webView);
        auto read = [&](const std::filesystem::path& path) {
            return call(*webView,
                "const buffer = await window.norlaMobile.readRecording(path);\n"
                "return new TextDecoder().decode(buffer);",
                { { "path", path.string() } });
        };
        EXPECT_EQ(text(read(session / "meeting.m4a")), "not really AAC, but the scheme serves bytes");
        // Out of the directory by "..": the scheme fails the load, and WebKit rejects the page's fetch.
        auto climbed = read(recordingsDirectory() / ".." / ".." / ".." / "elsewhere" / "meeting.m4a");
        ASSERT_FALSE(climbed.ok()) << text(climbed);
        EXPECT_EQ(climbed.error().description().find("private"), std::string::npos);
    }

} // namespace
} // namespace norla::test
