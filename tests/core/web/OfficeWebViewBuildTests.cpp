#include "WebHostFixture.h"

#include "web/BootstrapScripts.h"
#include "web/CoordinatorRegistry.h"
#include "web/RecordingSchemeHandlerFactory.h"

namespace norla::test {
namespace {

    class NullSchemeHandler final : public UrlSchemeHandler {
    public:
        void startURLSchemeTask(WebView&, UrlSchemeTask&) override { }
        void stopURLSchemeTask(WebView&, UrlSchemeTask&) override { }
    };

    class CountingSchemeHandlerFactory final : public RecordingSchemeHandlerFactory {
    public:
        std::shared_ptr<UrlSchemeHandler> makeHandler() override
        {
            ++made;
            return std::make_shared<NullSchemeHandler>();
        }
        int made = 0;
    };

    class OfficeWebViewBuildTest : public WebHostTest {
    protected:
        OfficeWebViewBuildTest() { Seam<RecordingSchemeHandlerFactory>::install(schemeHandlers); }
        ~OfficeWebViewBuildTest() override { Seam<RecordingSchemeHandlerFactory>::install(nullptr); }

        std::shared_ptr<CountingSchemeHandlerFactory> schemeHandlers = std::make_shared<CountingSchemeHandlerFactory>();
    };

    TEST_F(OfficeWebViewBuildTest, ConfiguresTheWebViewInOrderWithTheRecorderScriptBeforeTheShellScript)
    {
        auto window = openWindow();
        const auto& configuration = *window.webView->configuration;
        EXPECT_EQ(configuration.steps,
            (std::vector<std::string> {
                "websiteDataStore: default",
                "inlineMediaPlayback: true",
                "mediaTypesRequiringUserAction: none",
                "urlSchemeHandler: norla-rec",
                "messageHandler: norlaRecorder in page",
                "userScript: documentStart mainFrame",
                "messageHandler: norlaShell in page",
                "userScript: documentStart mainFrame",
                "applicationNameForUserAgent: Version/18.0 Safari/605.1.15 NorlaOfficeMac",
            }));
        ASSERT_EQ(configuration.userScripts.size(), 2u);
        EXPECT_EQ(configuration.userScripts[0].source, recorderBootstrapScript("https://office.norla.jp"));
        EXPECT_EQ(configuration.userScripts[1].source, shellBootstrapScript("https://office.norla.jp"));
        EXPECT_EQ(schemeHandlers->made, 1);
        for (const auto& [name, handler] : configuration.messageHandlers)
            EXPECT_EQ(handler.lock(), window.coordinator) << name;
    }

    TEST_F(OfficeWebViewBuildTest, HandsDelegatesToTheCoordinatorRegistersItAndLoadsTheApplicationURL)
    {
        auto window = openWindow();
        EXPECT_EQ(window.webView->navigationDelegate.lock(), window.coordinator);
        EXPECT_EQ(window.webView->uiDelegate.lock(), window.coordinator);
        EXPECT_TRUE(window.webView->backForwardGestures);
        EXPECT_EQ(window.coordinator->webView(), window.webView);

        auto live = CoordinatorRegistry::shared().liveCoordinators();
        ASSERT_EQ(live.size(), 1u);
        EXPECT_EQ(live[0], window.coordinator);

        ASSERT_EQ(window.webView->loads.size(), 1u);
        const auto& request = window.webView->loads[0];
        EXPECT_EQ(request.url.absoluteString, "https://office.norla.jp");
        EXPECT_EQ(request.cachePolicy, UrlRequestCachePolicy::useProtocolCachePolicy);
        EXPECT_EQ(request.timeoutInterval, seconds(60));
    }

    TEST_F(OfficeWebViewBuildTest, APendingOpenURLIsLoadedInsteadOfTheApplicationURLAndConsumed)
    {
        push->pendingOpenURL = url("https://office.norla.jp/chat/42");
        auto first = openWindow();
        EXPECT_EQ(first.webView->loadedURLs(), std::vector<std::string> { "https://office.norla.jp/chat/42" });
        EXPECT_FALSE(push->pendingOpenURL);

        auto second = openWindow();
        EXPECT_EQ(second.webView->loadedURLs(), std::vector<std::string> { "https://office.norla.jp" });
    }

    TEST_F(OfficeWebViewBuildTest, TheScriptsCarryTheOriginOfAnOverriddenApplicationURL)
    {
        info->values["NorlaAppURL"] = "http://127.0.0.1:3000/app";
        auto window = openWindow();
        const auto& scripts = window.webView->configuration->userScripts;
        ASSERT_EQ(scripts.size(), 2u);
        EXPECT_EQ(scripts[0].source, recorderBootstrapScript("http://127.0.0.1:3000"));
        EXPECT_EQ(scripts[1].source, shellBootstrapScript("http://127.0.0.1:3000"));
        EXPECT_EQ(window.webView->loadedURLs(), std::vector<std::string> { "http://127.0.0.1:3000/app" });
    }

    TEST_F(OfficeWebViewBuildTest, WithoutARecordingSchemeHandlerTheSchemeIsLeftOutAndSaidSo)
    {
        Seam<RecordingSchemeHandlerFactory>::install(nullptr);
        auto window = openWindow();
        for (const auto& step : window.webView->configuration->steps)
            EXPECT_EQ(step.find("urlSchemeHandler"), std::string::npos);
        EXPECT_TRUE(env.log().contains("norla-rec"));
        EXPECT_EQ(window.webView->configuration->userScripts.size(), 2u);
    }

    TEST_F(OfficeWebViewBuildTest, OriginStringKeepsSchemeHostAndWrittenPortAsStored)
    {
        EXPECT_EQ(originString(url("https://office.norla.jp")), "https://office.norla.jp");
        EXPECT_EQ(originString(url("https://office.norla.jp/path?q#f")), "https://office.norla.jp");
        EXPECT_EQ(originString(url("http://127.0.0.1:3000/x")), "http://127.0.0.1:3000");
        // These differ from the page's location.origin, so the scripts install nothing: as intended.
        EXPECT_EQ(originString(url("https://Office.Norla.JP/")), "https://Office.Norla.JP");
        EXPECT_EQ(originString(url("https://office.norla.jp:443/")), "https://office.norla.jp:443");
        EXPECT_EQ(originString(url("HTTPS://office.norla.jp/")), "HTTPS://office.norla.jp");
        EXPECT_EQ(originString(url("http://[::1]:8080/")), "http://[::1]:8080");
        EXPECT_EQ(originString(url("about:blank")), "about:blank");
        EXPECT_EQ(originString(url("file:///tmp/index.html")), "file:///tmp/index.html");
    }

} // namespace
} // namespace norla::test
