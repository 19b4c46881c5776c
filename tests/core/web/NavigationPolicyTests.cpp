#include "WebHostFixture.h"

#include "web/NavigationPolicy.h"

namespace norla::test {
namespace {

    using NavigationPolicyTest = WebHostTest;

    TEST_F(NavigationPolicyTest, InAppHostsStayWebMailAndTelephoneLinksGoOutEverythingElseIsCancelled)
    {
        using enum NavigationDecision;
        const std::pair<const char*, NavigationDecision> cases[] = { { "http://office.norla.jp/chat", allow },
            { "https://ACCOUNTS.GOOGLE.CO.JP/", allow }, { "about:srcdoc", allow },
            { "norla-rec://file/tmp/meeting.m4a", allow }, { "https://example.com/page", openExternally },
            { "mailto:someone@example.com", openExternally }, { "TEL:+81-3-1234-5678", openExternally },
            { "https://office.norla.jp.evil.com/", openExternally }, { "data:text/html,hello", cancel },
            { "blob:https://office.norla.jp/0b6f", cancel }, { "javascript:void(0)", cancel },
            { "file:///etc/hosts", cancel }, { "ABOUT:blank", cancel }, { "Norla-Rec://file/x", cancel } };
        for (const auto& [text, expected] : cases)
            EXPECT_EQ(decideNavigation({ url(text) }), expected) << text;
        EXPECT_EQ(decideNavigation({}), allow) << "a request without a URL";
        EXPECT_EQ(decideNavigation({ std::nullopt, true }), cancel) << "a URL that does not parse is not no URL";
    }

    TEST_F(NavigationPolicyTest, TheCoordinatorAnswersThePlatformAndCancelsAnExternalLinkOnlyAfterTheSystemAnswered)
    {
        auto window = openWindow();
        std::vector<NavigationActionPolicy> decisions;
        auto decide = [&](const char* text) {
            window.coordinator->decidePolicyForNavigationAction(
                *window.webView, { url(text) }, [&](NavigationActionPolicy policy) { decisions.push_back(policy); });
            env.main().runUntilIdle();
        };
        decide("https://office.norla.jp/chat");
        decide("javascript:void(0)");
        decide("https://example.com/page");
        EXPECT_EQ(opener->opened, std::vector<std::string> { "https://example.com/page" });
        EXPECT_EQ(decisions.size(), 2u) << "the page waits until the system has answered";
        opener->completeAll(false);
        Seam<UrlOpener>::install(nullptr);
        decide("https://example.com/");
        using enum NavigationActionPolicy;
        EXPECT_EQ(decisions, (std::vector<NavigationActionPolicy> { allow, cancel, cancel, cancel }));

        std::optional<PermissionDecision> permission;
        window.coordinator->requestMediaCapturePermission(*window.webView, { "https", "office.norla.jp", 0 },
            { false, { "https", "elsewhere.example", 0 } }, MediaCaptureType::cameraAndMicrophone,
            [&](PermissionDecision answer) { permission = answer; });
        env.main().runUntilIdle();
        EXPECT_EQ(permission, PermissionDecision::grant) << "the asking origin decides, in whichever frame";
    }

    TEST_F(NavigationPolicyTest, MediaCaptureIsGrantedToTheApplicationsExactHostOnly)
    {
        const auto app = url("https://office.norla.jp");
        EXPECT_EQ(decideMediaCapturePermission({ "https", "office.norla.jp", 0 }, app), PermissionDecision::grant);
        for (const char* host : { "evil.com", "OFFICE.NORLA.JP", "preview.office.norla.jp", "" })
            EXPECT_EQ(decideMediaCapturePermission({ "https", host, 0 }, app), PermissionDecision::deny) << host;
        EXPECT_EQ(
            decideMediaCapturePermission({ "https", "", 0 }, url("file:///srv/index.html")), PermissionDecision::deny);
    }

    TEST_F(NavigationPolicyTest, ASignInFailureIsAnAuthPathOrAProviderHostOfTheFailingURLElseOfTheCurrentPage)
    {
        struct Case {
            const char* failing; // null: no failing URL
            const char* current; // null: no current page
            bool signIn;
        } cases[] = {
            { "https://office.norla.jp/auth/callback?code=1", nullptr, true },
            { "https://accounts.google.com/signin/oauth", nullptr, true },
            { "https://ACCOUNTS.GOOGLE.CO.JP/", nullptr, true },
            { "https://office.norla.jp/chat", "https://office.norla.jp/auth/login", false },
            { "https://office.norla.jp/authx/callback", nullptr, false },
            { "https://office.norla.jp/x/auth/", nullptr, false },
            { "https://example.com", "https://office.norla.jp/auth/login", false }, // its own empty path
            { nullptr, "https://office.norla.jp/auth/login", true },
            { "mailto:someone@example.com", "https://accounts.google.com/x", true }, // the page's host
            { "mailto:someone@example.com", "about:blank", false },
            { nullptr, nullptr, false },
        };
        auto optionalURL = [](const char* text) { return text ? std::optional(url(text)) : std::nullopt; };
        for (const auto& row : cases) {
            EXPECT_EQ(isSignInFailure(
                          { Error::platform("cancelled", 302), optionalURL(row.failing) }, optionalURL(row.current)),
                row.signIn)
                << (row.failing ? row.failing : "-") << " on " << (row.current ? row.current : "-");
        }
    }

    TEST_F(NavigationPolicyTest, AFailedSignInLoadsTheFailurePageOfTheWindowsOwnApplicationURL)
    {
        auto window = openWindow();
        auto local = openWindow(url("http://127.0.0.1:3000/app/home"));
        window.webView->loads.clear();
        // Without a failing URL the page's current one decides; without either, nothing is a sign-in.
        window.webView->currentURL = url("https://signin.accounts.google.com/x");
        window.coordinator->didFailNavigation(*window.webView, { Error::platform("interrupted", 102), std::nullopt });
        window.webView->currentURL.reset();
        window.coordinator->didFailProvisionalNavigation(
            *window.webView, { Error::platform("cancelled", 302), std::nullopt });
        local.coordinator->didFailProvisionalNavigation(
            *local.webView, { Error::platform("cancelled", 302), url("http://127.0.0.1:3000/auth/callback") });
        env.main().runUntilIdle();
        EXPECT_EQ(window.webView->loadedURLs(),
            std::vector<std::string> { "https://office.norla.jp/auth/login?error=auth_failed" });
        EXPECT_EQ(window.webView->loads[0].timeoutInterval, seconds(60));
        EXPECT_EQ(local.webView->loadedURLs().back(), "http://127.0.0.1:3000/auth/login?error=auth_failed");
    }

} // namespace
} // namespace norla::test
