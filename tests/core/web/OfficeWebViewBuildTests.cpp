#include "WebHostFixture.h"

#include "web/BootstrapScripts.h"
#include "web/RecordingSchemeHandlerFactory.h"

namespace norla::test {
namespace {

    using OfficeWebViewBuildTest = WebHostTest;

    TEST_F(OfficeWebViewBuildTest, TheRecorderScriptRunsFirstTheCoordinatorAnswersAndThePendingAddressLoadsOnce)
    {
        push->pendingOpenURL = url("https://office.norla.jp/chat/42");
        auto window = openWindow();
        const auto& configuration = *window.webView->configuration;
        ASSERT_EQ(configuration.userScripts.size(), 2u);
        EXPECT_EQ(configuration.userScripts[0].source, recorderBootstrapScript("https://office.norla.jp"));
        EXPECT_EQ(configuration.userScripts[1].source, shellBootstrapScript("https://office.norla.jp"));
        ASSERT_EQ(configuration.messageHandlers.size(), 2u);
        for (const auto& [name, handler] : configuration.messageHandlers)
            EXPECT_EQ(handler.lock(), window.coordinator) << name;
        EXPECT_EQ(window.webView->navigationDelegate.lock(), window.coordinator);
        EXPECT_EQ(window.webView->uiDelegate.lock(), window.coordinator);
        EXPECT_EQ(window.webView->loadedURLs(), std::vector<std::string> { "https://office.norla.jp/chat/42" });
        EXPECT_EQ(openWindow().webView->loadedURLs(), std::vector<std::string> { "https://office.norla.jp" });
    }

    TEST_F(OfficeWebViewBuildTest, TheRecordingSchemeIsRegisteredOnlyWhenItsHandlerCanBeMade)
    {
        struct NoHandlers final : RecordingSchemeHandlerFactory {
            std::shared_ptr<UrlSchemeHandler> makeHandler() override { return nullptr; }
        };
        Seam<RecordingSchemeHandlerFactory>::install(std::make_shared<NoHandlers>());
        EXPECT_EQ(openWindow().webView->configuration->schemes, std::vector<std::string> { "norla-rec" });
        Seam<RecordingSchemeHandlerFactory>::install(nullptr);
        EXPECT_TRUE(openWindow().webView->configuration->schemes.empty());
        EXPECT_TRUE(env.log().contains("norla-rec"));
    }

    TEST_F(OfficeWebViewBuildTest, TheScriptsOriginKeepsSchemeHostAndWrittenPortAndIsFilledInLast)
    {
        // Written case and port differ from the page's location.origin, so the scripts install nothing.
        for (std::string_view origin : { "http://127.0.0.1:3000", "https://Office.Norla.JP",
                 "https://office.norla.jp:443", "HTTPS://office.norla.jp", "http://[::1]:8080" })
            EXPECT_EQ(originString(url(std::string(origin) + "/path?q#f")), origin);
        // Without a host there is no origin to cut out: the URL is kept whole.
        for (std::string_view whole : { "about:blank", "file:///tmp/index.html" })
            EXPECT_EQ(originString(url(whole)), whole);
        // An origin that looks like a token is not filled in again.
        const auto script = recorderBootstrapScript("@@NORLA_PLATFORM@@");
        EXPECT_NE(script.find(R"("@@NORLA_PLATFORM@@")"), std::string::npos);
    }

} // namespace
} // namespace norla::test
