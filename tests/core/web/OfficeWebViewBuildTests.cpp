#include "WebHostFixture.h"

#include "web/BootstrapScripts.h"
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

    TEST_F(OfficeWebViewBuildTest, ConnectsTheCoordinatorInstallsTheScriptsRecorderFirstAndLoadsTheApplicationURL)
    {
        auto window = openWindow();
        const auto& configuration = *window.webView->configuration;
        ASSERT_EQ(configuration.userScripts.size(), 2u);
        EXPECT_EQ(configuration.userScripts[0].source, recorderBootstrapScript("https://office.norla.jp"));
        EXPECT_EQ(configuration.userScripts[1].source, shellBootstrapScript("https://office.norla.jp"));
        EXPECT_EQ(configuration.schemes, std::vector<std::string> { "norla-rec" });
        EXPECT_EQ(schemeHandlers->made, 1);
        EXPECT_EQ(configuration.messageHandlers.size(), 2u);
        for (const auto& [name, handler] : configuration.messageHandlers)
            EXPECT_EQ(handler.lock(), window.coordinator) << name;
        EXPECT_EQ(window.webView->navigationDelegate.lock(), window.coordinator);
        EXPECT_EQ(window.webView->uiDelegate.lock(), window.coordinator);

        EXPECT_EQ(window.webView->loadedURLs(), std::vector<std::string> { "https://office.norla.jp" });
        EXPECT_EQ(window.webView->loads[0].timeoutInterval, seconds(60));
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

    TEST_F(OfficeWebViewBuildTest, WithoutARecordingSchemeHandlerTheSchemeIsLeftOutAndSaidSo)
    {
        Seam<RecordingSchemeHandlerFactory>::install(nullptr);
        auto window = openWindow();
        EXPECT_TRUE(window.webView->configuration->schemes.empty());
        EXPECT_TRUE(env.log().contains("norla-rec"));
    }

    TEST_F(OfficeWebViewBuildTest, OriginStringKeepsSchemeHostAndWrittenPortAsStored)
    {
        // Written case and port differ from the page's location.origin, so the scripts install nothing.
        for (std::string_view origin : { "http://127.0.0.1:3000", "https://Office.Norla.JP",
                 "https://office.norla.jp:443", "HTTPS://office.norla.jp", "http://[::1]:8080" })
            EXPECT_EQ(originString(url(std::string(origin) + "/path?q#f")), origin);
        // Without a host there is no origin to cut out: the URL is kept whole.
        for (std::string_view whole : { "about:blank", "file:///tmp/index.html" })
            EXPECT_EQ(originString(url(whole)), whole);
    }

} // namespace
} // namespace norla::test
