#include "WebKitFixture.h"

#include "web/ScriptMessage.h"
#include "web/UrlSchemeHandler.h"
#include "web/WebKitConfiguration.h"

#include <vector>

namespace norla::test {
namespace {

    // Answers every main-frame message with "ok:" and its command, and refuses the others as the
    // bridge does; remembers what it saw.
    class RecordingHandler final : public ScriptMessageHandlerWithReply {
    public:
        void didReceiveScriptMessage(ScriptMessage message, BridgeReply reply) override
        {
            const auto* cmd = message.body.find("cmd");
            std::string command = cmd && cmd->asString() ? *cmd->asString() : "";
            if (message.frameInfo.isMainFrame)
                reply.resolve(message.name + ":" + command);
            else
                reply.reject("frame");
            received.push_back(message);
        }
        std::vector<ScriptMessage> received;
    };

    class TextSchemeHandler final : public UrlSchemeHandler {
    public:
        explicit TextSchemeHandler(std::string allowedOrigin)
            : m_allowedOrigin(std::move(allowedOrigin))
        {
        }
        void startURLSchemeTask(WebView&, UrlSchemeTask& task) override
        {
            auto url = task.requestURL();
            if (!url || url->path != "/hello.txt") {
                task.didFailWithError(Error::platform("missing"));
                return;
            }
            task.didReceiveResponse({ *url, 200, "HTTP/1.1",
                { { "Content-Type", "text/plain; charset=utf-8" },
                    { "Access-Control-Allow-Origin", m_allowedOrigin } } });
            std::string body = "こんにちは";
            task.didReceiveData({ body.begin(), body.end() });
            task.didFinish();
        }
        void stopURLSchemeTask(WebView&, UrlSchemeTask&) override { }

    private:
        std::string m_allowedOrigin;
    };

    class GtkWebViewTests : public WebKitFixture {
    protected:
        std::shared_ptr<GtkWebView> makeWebView(
            const std::shared_ptr<RecordingHandler>& handler, std::shared_ptr<UrlSchemeHandler> scheme = nullptr)
        {
            auto configuration = m_factory->makeConfiguration();
            configuration->useDefaultWebsiteDataStore();
            if (scheme)
                configuration->setURLSchemeHandler(std::move(scheme), "norla-test");
            configuration->addScriptMessageHandlerWithReply(handler, ContentWorld::page, "norlaRecorder");
            configuration->addScriptMessageHandlerWithReply(handler, ContentWorld::page, "norlaShell");
            configuration->setApplicationNameForUserAgent("Version/18.0 Safari/605.1.15 NorlaOfficeMac");
            return show(m_factory->makeWebView(std::move(configuration)));
        }
        void SetUp() override
        {
            WebKitFixture::SetUp();
            m_factory = std::make_unique<WebKitWebViewFactory>(dataDirectory() / "data", dataDirectory() / "cache");
        }
        void TearDown() override
        {
            WebKitFixture::TearDown();
            m_factory.reset();
        }
        std::unique_ptr<WebKitWebViewFactory> m_factory;
    };

    TEST_F(GtkWebViewTests, OnlyTheTopFrameReachesTheHandlersAsTheMainFrame)
    {
        auto handler = std::make_shared<RecordingHandler>();
        auto webView = makeWebView(handler);
        loadAndWait(*webView, origin() + "/test/frames.html");
        auto results = call(*webView,
            "return await new Promise((resolve) => {\n"
            "  const check = () => (window.topResult && Object.keys(window.frameResults).length >= 3)\n"
            "    ? resolve({ top: window.topResult, frames: window.frameResults }) : setTimeout(check, 20);\n"
            "  check();\n"
            "});");
        ASSERT_TRUE(results.ok()) << results.error().description();
        const auto& value = results.value();
        EXPECT_EQ(value.find("top")->find("shell")->toJSON(), "\"resolved:\\\"norlaShell:notificationPermission\\\"\"");
        for (const char* frame : { "same-origin", "other-port", "other-host" }) {
            const auto* result = value.find("frames")->find(frame);
            ASSERT_NE(result, nullptr) << frame;
            EXPECT_EQ(*result->find("shell"), Value("rejected:frame")) << frame;
            EXPECT_EQ(*result->find("recorder"), Value("rejected:frame")) << frame;
            EXPECT_EQ(*result->find("hasNorlaMobile"), Value(false)) << frame;
        }
        size_t fromMainFrame = 0;
        for (const auto& message : handler->received) {
            if (!message.frameInfo.isMainFrame)
                continue;
            ++fromMainFrame;
            EXPECT_EQ(message.frameInfo.securityOrigin.host, "127.0.0.1");
            EXPECT_TRUE(message.body.find("cmd")) << message.body.toJSON();
        }
        EXPECT_EQ(fromMainFrame, 2u); // the top page's two posts; six frame posts were refused
        EXPECT_EQ(handler->received.size(), 8u);
    }

    TEST_F(GtkWebViewTests, AMessageCarriesTheOriginOfTheDocumentThatSentItWhileTheViewLoadsAnotherAddress)
    {
        auto handler = std::make_shared<RecordingHandler>();
        auto webView = makeWebView(handler);
        auto port = origin().substr(origin().rfind(':'));
        loadAndWait(*webView, "http://localhost" + port + "/test/index.html");
        // A load on another host that is never answered: the web view's URL moves to it at once, while
        // the page shown is still the one on localhost.
        webView->load(UrlRequest { *parseUrl(origin() + "/test/hang") });
        ASSERT_TRUE(runUntil([&] {
            auto url = webView->url();
            return url && url->host == "127.0.0.1";
        }));
        auto answer
            = call(*webView, "return await window.webkit.messageHandlers.norlaShell.postMessage({ cmd: 'x' });");
        ASSERT_TRUE(answer.ok()) << answer.error().description();
        ASSERT_FALSE(handler->received.empty());
        EXPECT_TRUE(handler->received.back().frameInfo.isMainFrame);
        EXPECT_EQ(handler->received.back().frameInfo.securityOrigin.host, "localhost");
    }

    TEST_F(GtkWebViewTests, AsyncScriptsGetTheirArgumentsByNameAndAnswerJsonOrTheirError)
    {
        auto handler = std::make_shared<RecordingHandler>();
        auto webView = makeWebView(handler);
        loadAndWait(*webView, origin() + "/chat");
        auto sum = call(*webView, "return { sum: a + b, text: s + '!', nested: o.k, flag: f, none: n };",
            { { "a", 2 }, { "b", 3 }, { "s", "日本" }, { "o", Value::Object { { "k", true } } }, { "f", false },
                { "n", nullptr } });
        ASSERT_TRUE(sum.ok()) << sum.error().description();
        EXPECT_EQ(sum.value(),
            Value(Value::Object {
                { "sum", 5 }, { "text", "日本!" }, { "nested", true }, { "flag", false }, { "none", nullptr } }));
        auto failed = call(*webView, "throw new Error('kaput');");
        ASSERT_FALSE(failed.ok());
        EXPECT_NE(failed.error().description().find("kaput"), std::string::npos);
        auto refused = call(*webView, "return 1;", { { "not-a-name", 1 } });
        EXPECT_FALSE(refused.ok());
        auto nothing = call(*webView, "await fetch('/api/version');");
        ASSERT_TRUE(nothing.ok());
        EXPECT_TRUE(nothing.value().isNull());
    }

    TEST_F(GtkWebViewTests, TheUserAgentEndsWithTheApplicationName)
    {
        auto webView = makeWebView(std::make_shared<RecordingHandler>());
        loadAndWait(*webView, origin() + "/chat");
        auto agent = call(*webView, "return navigator.userAgent;");
        ASSERT_TRUE(agent.ok());
        ASSERT_TRUE(agent.value().asString());
        EXPECT_TRUE(agent.value().asString()->ends_with(") Version/18.0 Safari/605.1.15 NorlaOfficeMac")
            || agent.value().asString()->ends_with(" Version/18.0 Safari/605.1.15 NorlaOfficeMac"))
            << *agent.value().asString();
    }

    TEST_F(GtkWebViewTests, ACustomSchemeServesThePageAcrossOriginsAndFailsAsANetworkError)
    {
        auto webView = makeWebView(std::make_shared<RecordingHandler>(), std::make_shared<TextSchemeHandler>(origin()));
        loadAndWait(*webView, origin() + "/chat");
        auto text = call(*webView,
            "const response = await fetch('norla-test://file/hello.txt');\n"
            "return { ok: response.ok, status: response.status, type: response.headers.get('content-type'),"
            " text: await response.text() };");
        ASSERT_TRUE(text.ok()) << text.error().description();
        EXPECT_EQ(text.value(),
            Value(Value::Object { { "ok", true }, { "status", 200 }, { "type", "text/plain; charset=utf-8" },
                { "text", "こんにちは" } }));
        auto missing = call(*webView, "await fetch('norla-test://file/other.txt'); return 'fetched';");
        EXPECT_FALSE(missing.ok());
    }

    TEST_F(GtkWebViewTests, CookiesOfThePersistentSessionOutliveIt)
    {
        {
            auto webView = makeWebView(std::make_shared<RecordingHandler>());
            loadAndWait(*webView, origin() + "/chat");
            auto signedIn = call(*webView,
                "const response = await fetch('/api/test/sign-in', { method: 'POST', credentials: 'include' });"
                "return response.ok;");
            ASSERT_TRUE(signedIn.ok());
            auto registered = call(*webView,
                "const response = await fetch('/api/push/apns/register', { method: 'POST', credentials: 'include',"
                " body: JSON.stringify({ deviceToken: 'ab', environment: 'production', bundleId: 'x' }) });"
                "return response.status;");
            ASSERT_TRUE(registered.ok());
            EXPECT_EQ(registered.value(), Value(200));
        }
        // A new factory is a new network session on the same directories, as after a restart.
        m_factory = std::make_unique<WebKitWebViewFactory>(dataDirectory() / "data", dataDirectory() / "cache");
        auto webView = makeWebView(std::make_shared<RecordingHandler>());
        loadAndWait(*webView, origin() + "/chat");
        auto status = call(*webView,
            "const response = await fetch('/api/push/apns/register', { method: 'POST', credentials: 'include',"
            " body: JSON.stringify({ deviceToken: 'cd', environment: 'production', bundleId: 'x' }) });"
            "return response.status;");
        ASSERT_TRUE(status.ok());
        EXPECT_EQ(status.value(), Value(200));
    }

} // namespace
} // namespace norla::test
