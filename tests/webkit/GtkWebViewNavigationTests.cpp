#include "WebKitFixture.h"

#include "web/NavigationDelegate.h"
#include "web/WebKitConfiguration.h"

#include <set>
#include <string>
#include <vector>

namespace norla::test {
namespace {

    // Allows the demo's own host and cancels everything else; records what WebKit told it.
    class RecordingNavigationDelegate final : public NavigationDelegate {
    public:
        void decidePolicyForNavigationAction(WebView&, const NavigationAction& action,
            CompletionHandler<void(NavigationActionPolicy)> decisionHandler) override
        {
            std::string url = action.requestURL ? action.requestURL->absoluteString : "";
            decided.push_back(url);
            bool local = action.requestURL && action.requestURL->host == "127.0.0.1";
            decisionHandler(local ? NavigationActionPolicy::allow : NavigationActionPolicy::cancel);
        }
        void didFinishNavigation(WebView& webView) override
        {
            auto url = webView.url();
            finished.push_back(url ? url->path : "");
        }
        void didFailProvisionalNavigation(WebView&, const NavigationError& error) override
        {
            failed.push_back(error.failingURL ? error.failingURL->path : "?");
            errors.push_back(error.error.code());
        }
        void didFailNavigation(WebView&, const NavigationError& error) override
        {
            failed.push_back("committed " + (error.failingURL ? error.failingURL->path : "?"));
        }

        std::vector<std::string> decided;
        std::vector<std::string> finished;
        std::vector<std::string> failed;
        std::vector<int> errors;
    };

    class GtkWebViewNavigationTests : public WebKitFixture {
    protected:
        std::shared_ptr<GtkWebView> makeWebView(Duration loadTimeout = seconds(60))
        {
            m_factory = std::make_unique<WebKitWebViewFactory>(
                dataDirectory() / "data", dataDirectory() / "cache", loadTimeout);
            auto webView = show(m_factory->makeWebView(m_factory->makeConfiguration()));
            webView->setNavigationDelegate(m_delegate);
            return webView;
        }
        void TearDown() override
        {
            WebKitFixture::TearDown();
            m_factory.reset();
        }
        std::shared_ptr<RecordingNavigationDelegate> m_delegate = std::make_shared<RecordingNavigationDelegate>();
        std::unique_ptr<WebKitWebViewFactory> m_factory;
    };

    TEST_F(GtkWebViewNavigationTests, EveryNavigationAsksTheDelegateAndACancelledOneLeavesThePageWhereItWas)
    {
        auto webView = makeWebView();
        loadAndWait(*webView, origin() + "/test/navigate-out.html");
        // The page, then its empty frame (which this delegate cancels, having no host of ours).
        EXPECT_EQ(
            m_delegate->decided, (std::vector<std::string> { origin() + "/test/navigate-out.html", "about:blank" }));
        EXPECT_EQ(m_delegate->finished, (std::vector<std::string> { "/test/navigate-out.html" }));

        auto before = call(*webView, "window.navigateOut(); return window.loadedAt;");
        ASSERT_TRUE(before.ok());
        ASSERT_TRUE(runUntil([&] { return m_delegate->decided.size() == 3; }));
        EXPECT_EQ(m_delegate->decided.back(), "https://example.com/navigated-by-script");
        // Still the same document: the cancelled navigation never left it.
        auto after = call(*webView, "return window.loadedAt;");
        ASSERT_TRUE(after.ok());
        EXPECT_EQ(after.value(), before.value());
        EXPECT_EQ(webView->url()->path, "/test/navigate-out.html");

        // A frame's navigation is asked about as well.
        ASSERT_TRUE(call(*webView, "window.navigateFrameOut();").ok());
        ASSERT_TRUE(runUntil([&] { return m_delegate->decided.size() == 4; }));
        EXPECT_EQ(m_delegate->decided.back(), "https://example.com/in-a-frame");
        EXPECT_TRUE(m_delegate->failed.empty());
    }

    TEST_F(GtkWebViewNavigationTests, URLsWrittenWithBlanksReachTheDelegateEncodedRatherThanAsNoURL)
    {
        auto webView = makeWebView();
        loadAndWait(*webView, origin() + "/test/navigate-out.html");
        ASSERT_TRUE(
            call(*webView, "window.navigateFrameToData(); document.getElementById('link-tel-spaced').click();").ok());
        ASSERT_TRUE(runUntil([&] { return m_delegate->decided.size() >= 4; }));
        auto decided = std::set<std::string>(m_delegate->decided.begin() + 2, m_delegate->decided.end());
        EXPECT_EQ(decided, (std::set<std::string> { "data:text/html,%3Cp%3Ea%20b%3C/p%3E", "tel:03%201234%205678" }));
    }

    TEST_F(GtkWebViewNavigationTests, ALoadThatIsNeverAnsweredFailsAfterTheTimeout)
    {
        auto webView = makeWebView(seconds(1));
        auto url = parseUrl(origin() + "/test/hang");
        ASSERT_TRUE(url);
        webView->load(UrlRequest { *url });
        ASSERT_TRUE(runUntil([&] { return !m_delegate->failed.empty(); }));
        EXPECT_EQ(m_delegate->failed, (std::vector<std::string> { "/test/hang" }));
        EXPECT_EQ(m_delegate->errors, (std::vector<int> { G_IO_ERROR_TIMED_OUT }));
        EXPECT_TRUE(m_delegate->finished.empty());
    }

    TEST_F(GtkWebViewNavigationTests, AFailedLoadIsReportedWithItsUrlAndNeverAsFinished)
    {
        auto webView = makeWebView();
        auto url = parseUrl(origin() + "/auth/broken");
        ASSERT_TRUE(url);
        webView->load(UrlRequest { *url });
        ASSERT_TRUE(runUntil([&] { return !m_delegate->failed.empty(); }));
        EXPECT_EQ(m_delegate->failed, (std::vector<std::string> { "/auth/broken" }));
        ASSERT_TRUE(runUntil([&] { return !webkit_web_view_is_loading(webView->widget()); }));
        // WebKit finishes the failed load too (with its error page); that is not a finished navigation.
        loadAndWait(*webView, origin() + "/chat");
        EXPECT_EQ(m_delegate->finished, (std::vector<std::string> { "/chat" }));
    }

} // namespace
} // namespace norla::test
