#include "WebKitFixture.h"

#include "web/ScriptMessage.h"
#include "web/WebKitConfiguration.h"

#include <vector>

namespace norla::test {
namespace {

    // Answers every message with its handler and command; remembers what it saw.
    class RecordingHandler final : public ScriptMessageHandlerWithReply {
    public:
        void didReceiveScriptMessage(ScriptMessage message, BridgeReply reply) override
        {
            const auto* cmd = message.body.find("cmd");
            std::string command = cmd && cmd->asString() ? *cmd->asString() : "";
            reply.resolve(message.name + ":" + command);
            received.push_back(message);
        }
        std::vector<ScriptMessage> received;
    };

    class GtkWebViewTest : public WebKitFixture {
    protected:
        std::shared_ptr<GtkWebView> makeWebView(const std::shared_ptr<RecordingHandler>& handler)
        {
            auto configuration = m_factory->makeConfiguration();
            configuration->useDefaultWebsiteDataStore();
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

    TEST_F(GtkWebViewTest, AMessageCarriesTheOriginOfTheDocumentThatSentItWhileTheViewLoadsAnotherAddress)
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

    TEST_F(GtkWebViewTest, CookiesOfThePersistentSessionOutliveIt)
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
