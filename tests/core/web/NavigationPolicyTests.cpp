#include "WebHostFixture.h"

#include "web/NavigationPolicy.h"

namespace norla::test {
namespace {

    class NavigationPolicyTest : public WebHostTest {
    protected:
        NavigationPolicyTest()
            : window(openWindow())
        {
            window.webView->loads.clear();
        }

        // Asks the coordinator, runs the main thread and answers the system's opens; the decision, or none
        // when the handler was not called.
        std::optional<NavigationActionPolicy> decide(std::optional<Url> target)
        {
            return decide(NavigationAction { std::move(target) });
        }
        std::optional<NavigationActionPolicy> decide(const NavigationAction& action)
        {
            std::optional<NavigationActionPolicy> decision;
            int calls = 0;
            window.coordinator->decidePolicyForNavigationAction(
                *window.webView, action, [&](NavigationActionPolicy policy) {
                    decision = policy;
                    ++calls;
                });
            env.main().runUntilIdle();
            opener->completeAll();
            env.main().runUntilIdle();
            EXPECT_LE(calls, 1);
            return decision;
        }
        std::optional<NavigationActionPolicy> decide(std::string_view text) { return decide(url(text)); }

        PermissionDecision permission(std::string host)
        {
            std::optional<PermissionDecision> decision;
            window.coordinator->requestMediaCapturePermission(*window.webView, { "https", std::move(host), 0 },
                { false, { "https", "elsewhere.example", 0 } }, MediaCaptureType::cameraAndMicrophone,
                [&](PermissionDecision answer) { decision = answer; });
            env.main().runUntilIdle();
            EXPECT_TRUE(decision);
            return decision.value_or(PermissionDecision::prompt);
        }

        void failProvisional(std::optional<Url> failing)
        {
            window.coordinator->didFailProvisionalNavigation(
                *window.webView, { Error::platform("Load request cancelled", 302), std::move(failing) });
            env.main().runUntilIdle();
        }

        Window window;
    };

    TEST_F(NavigationPolicyTest, InAppSignInBlankAndRecordingURLsStayInTheWebView)
    {
        for (const char* text : { "http://office.norla.jp/chat", "https://ACCOUNTS.GOOGLE.CO.JP/", "about:blank",
                 "about:srcdoc", "norla-rec://file/tmp/meeting.m4a" })
            EXPECT_EQ(decide(text), NavigationActionPolicy::allow) << text;
        EXPECT_EQ(decide(std::nullopt), NavigationActionPolicy::allow);
        EXPECT_TRUE(opener->opened.empty());
    }

    TEST_F(NavigationPolicyTest, WebMailAndTelephoneLinksGoToTheSystemAndAreCancelledAfterItAnswered)
    {
        std::optional<NavigationActionPolicy> decision;
        window.coordinator->decidePolicyForNavigationAction(*window.webView, { url("https://example.com/page") },
            [&](NavigationActionPolicy policy) { decision = policy; });
        env.main().runUntilIdle();
        EXPECT_EQ(opener->opened, std::vector<std::string> { "https://example.com/page" });
        EXPECT_FALSE(decision) << "the page waits until the system has answered";
        opener->completeAll(false);
        EXPECT_EQ(decision, NavigationActionPolicy::cancel);

        for (const char* text : { "http://example.com/", "mailto:someone@example.com", "TEL:+81-3-1234-5678",
                 "https://supabase.co/", "https://office.norla.jp.evil.com/" })
            EXPECT_EQ(decide(text), NavigationActionPolicy::cancel) << text;
        EXPECT_EQ(opener->opened.size(), 6u);
        EXPECT_TRUE(window.webView->loads.empty());
    }

    TEST_F(NavigationPolicyTest, OtherSchemesAreCancelledWithoutOpeningAnything)
    {
        for (const char* text : { "data:text/html,hello", "blob:https://office.norla.jp/0b6f", "slack://open",
                 "javascript:void(0)", "file:///etc/hosts", "ABOUT:blank", "Norla-Rec://file/x" })
            EXPECT_EQ(decide(text), NavigationActionPolicy::cancel) << text;
        // A URL that does not parse is not "no URL": it is refused, not let through.
        EXPECT_EQ(decide(NavigationAction { std::nullopt, true }), NavigationActionPolicy::cancel);
        EXPECT_TRUE(opener->opened.empty());
        Seam<UrlOpener>::install(nullptr);
        EXPECT_EQ(decide("https://example.com/"), NavigationActionPolicy::cancel) << "no opener";
    }

    TEST_F(NavigationPolicyTest, MediaCaptureIsGrantedToTheApplicationHostOnly)
    {
        EXPECT_EQ(permission("office.norla.jp"), PermissionDecision::grant);
        EXPECT_EQ(permission("evil.com"), PermissionDecision::deny);
        EXPECT_EQ(permission("OFFICE.NORLA.JP"), PermissionDecision::deny) << "exact string comparison";
        EXPECT_EQ(permission("preview.office.norla.jp"), PermissionDecision::deny);
        EXPECT_EQ(permission(""), PermissionDecision::deny);
        window = openWindow(url("file:///srv/index.html"));
        EXPECT_EQ(permission(""), PermissionDecision::deny) << "an application URL without a host";
    }

    TEST_F(NavigationPolicyTest, AFinishedNavigationSyncsPushRegistrationWithThatWebViewIfItIsStillThere)
    {
        window.coordinator->didFinishNavigation(*window.webView);
        EXPECT_TRUE(push->syncedWebViews.empty()) << "in a task on the main thread";
        env.main().runUntilIdle();
        ASSERT_EQ(push->syncedWebViews.size(), 1u);
        EXPECT_EQ(push->syncedWebViews[0].lock(), window.webView);
        EXPECT_TRUE(window.webView->evaluatedScripts.empty());

        // A web view that went away before the task ran is not synced.
        window.coordinator->didFinishNavigation(*window.webView);
        window.webView.reset();
        env.main().runUntilIdle();
        EXPECT_EQ(push->syncedWebViews.size(), 1u);
    }

    TEST_F(NavigationPolicyTest, FailedSignInPathsAndProviderHostsLandOnTheFailurePage)
    {
        failProvisional(url("https://office.norla.jp/auth/callback?code=1"));
        failProvisional(url("https://accounts.google.com/signin/oauth"));
        failProvisional(url("https://ACCOUNTS.GOOGLE.CO.JP/"));
        window.coordinator->didFailNavigation(
            *window.webView, { Error::platform("Frame load interrupted", 102), url("https://office.norla.jp/auth/") });
        env.main().runUntilIdle();
        EXPECT_EQ(window.webView->loadedURLs(),
            std::vector<std::string>(4, "https://office.norla.jp/auth/login?error=auth_failed"));
        EXPECT_EQ(window.webView->loads[0].timeoutInterval, seconds(60));

        // Other failures are left alone.
        window.webView->loads.clear();
        failProvisional(url("https://office.norla.jp/chat"));
        failProvisional(url("https://office.norla.jp/authx/callback"));
        failProvisional(url("https://office.norla.jp/x/auth/"));
        failProvisional(url("https://example.com/"));
        EXPECT_TRUE(window.webView->loads.empty());

        // The failure page is the coordinator's own application URL's.
        window = openWindow(url("http://127.0.0.1:3000/app/home"));
        window.webView->loads.clear();
        failProvisional(url("http://127.0.0.1:3000/auth/callback"));
        EXPECT_EQ(window.webView->loadedURLs(),
            std::vector<std::string> { "http://127.0.0.1:3000/auth/login?error=auth_failed" });
    }

    TEST_F(NavigationPolicyTest, WithoutAFailingURLTheCurrentPageDecides)
    {
        window.webView->currentURL = url("https://office.norla.jp/auth/login");
        failProvisional(std::nullopt);
        EXPECT_EQ(window.webView->loads.size(), 1u);

        // A failing URL without a path takes its empty path, even when the current page is under /auth/.
        window.webView->loads.clear();
        failProvisional(url("https://example.com"));
        EXPECT_TRUE(window.webView->loads.empty());

        // A failing URL without a host takes the current page's host.
        window.webView->currentURL = url("https://accounts.google.com/x");
        failProvisional(url("mailto:someone@example.com"));
        EXPECT_EQ(window.webView->loads.size(), 1u);

        window.webView->currentURL.reset();
        window.webView->loads.clear();
        failProvisional(std::nullopt);
        EXPECT_TRUE(window.webView->loads.empty());
    }

} // namespace
} // namespace norla::test
