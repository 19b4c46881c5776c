#include "auth/NativeOAuth.h"

#include "FakeAuthenticationSessions.h"
#include "FakeSharedApplication.h"
#include "FakeWebView.h"
#include "TestEnvironment.h"
#include "auth/PresentationContext.h"
#include "platform/GUriParser.h"
#include "platform/Seams.h"

#include <gtest/gtest.h>

#include <optional>
#include <thread>
#include <vector>

namespace norla {
namespace {

    constexpr const char* errorPage = "https://office.norla.jp/auth/login?error=auth_failed";

    class NativeOAuthTest : public ::testing::Test {
    protected:
        void SetUp() override
        {
            Seam<UrlParser>::install(std::make_shared<GUriParser>());
            appURL = *parseUrl("https://office.norla.jp");
        }
        void TearDown() override
        {
            environment.main().runUntilIdle();
            Seam<UrlParser>::install(nullptr);
        }

        // Starts a sign-in; its answer lands in the returned slot.
        std::shared_ptr<std::optional<std::string>> run(
            std::string host = "office.norla.jp", std::string path = "/auth/callback")
        {
            auto word = std::make_shared<std::optional<std::string>>();
            oauth->run(*parseUrl("https://accounts.google.com/o/oauth2/auth?client_id=1"), host, path, webView, appURL,
                [word](std::string answer) { *word = std::move(answer); });
            return word;
        }
        std::shared_ptr<test::FakeAuthenticationSession> session(size_t index)
        {
            return factory->sessions.at(index).lock();
        }
        void complete(size_t index, std::optional<Url> callbackURL, std::optional<Error> error)
        {
            session(index)->complete(std::move(callbackURL), std::move(error));
            environment.main().runUntilIdle();
        }

        test::TestEnvironment environment;
        std::shared_ptr<test::FakeAuthenticationSessionFactory> factory
            = std::make_shared<test::FakeAuthenticationSessionFactory>();
        std::shared_ptr<test::FakeSharedApplication> application = std::make_shared<test::FakeSharedApplication>();
        std::shared_ptr<NativeOAuth> oauth
            = NativeOAuth::make(factory, std::make_shared<PresentationContext>(application));
        std::shared_ptr<test::FakeWebView> webView = std::make_shared<test::FakeWebView>();
        Url appURL;
    };

    TEST_F(NativeOAuthTest, TheCallbackIsNormalisedAndTheSessionSharesTheBrowsersCookies)
    {
        auto word = run("\u3000 \n Office.NORLA.jp\t\u00a0\u2028", "auth/callback");
        auto first = session(0);
        ASSERT_TRUE(first);
        EXPECT_EQ(first->callbackHost, "office.norla.jp");
        EXPECT_EQ(first->callbackPath, "/auth/callback");
        EXPECT_EQ(first->url.absoluteString, "https://accounts.google.com/o/oauth2/auth?client_id=1");
        EXPECT_EQ(first->ephemeral, false);
        EXPECT_TRUE(first->presentationContext);
        EXPECT_TRUE(first->started);
        EXPECT_FALSE(*word) << "the page waits for the sheet";
        EXPECT_TRUE(oauth->hasCurrentSession());

        run("x", "/already/rooted");
        EXPECT_EQ(session(1)->callbackPath, "/already/rooted");
        complete(0, std::nullopt, Error::from(AuthenticationSessionError::canceledLogin));
        complete(1, std::nullopt, Error::from(AuthenticationSessionError::canceledLogin));
    }

    TEST_F(NativeOAuthTest, ACallbackIsLoadedInTheWebViewAndAnsweredOk)
    {
        auto word = run();
        complete(0, parseUrl("https://office.norla.jp/auth/callback?code=abc"), std::nullopt);
        EXPECT_EQ(*word, "ok");
        EXPECT_EQ(
            webView->loadedURLs(), (std::vector<std::string> { "https://office.norla.jp/auth/callback?code=abc" }));
        EXPECT_EQ(webView->loads.at(0).timeoutInterval, seconds(60));
        EXPECT_EQ(webView->loads.at(0).cachePolicy, UrlRequestCachePolicy::useProtocolCachePolicy);
        EXPECT_FALSE(oauth->hasCurrentSession());
    }

    TEST_F(NativeOAuthTest, ClosingTheSheetOrFailingSendsThePageToTheSignInError)
    {
        auto cancelled = run();
        complete(0, std::nullopt, Error::from(AuthenticationSessionError::canceledLogin));
        EXPECT_EQ(*cancelled, "cancelled");

        auto failed = run();
        complete(1, std::nullopt, Error::from(AuthenticationSessionError::presentationContextInvalid));
        EXPECT_EQ(*failed, "error");

        auto empty = run();
        complete(2, std::nullopt, std::nullopt);
        EXPECT_EQ(*empty, "error");

        auto platformFailure = run();
        complete(3, std::nullopt, Error::platform("network", 1));
        EXPECT_EQ(*platformFailure, "error") << "code 1 of another domain is no cancellation";

        EXPECT_EQ(webView->loadedURLs(), std::vector<std::string>(4, errorPage));
    }

    TEST_F(NativeOAuthTest, ASessionThatCannotStartAnswersErrorAndStaysCurrentUntilReplaced)
    {
        factory->nextStartSucceeds = false;
        auto word = run();
        EXPECT_EQ(*word, "error");
        EXPECT_EQ(webView->loadedURLs(), (std::vector<std::string> { errorPage }));
        EXPECT_TRUE(oauth->hasCurrentSession());

        factory->nextStartSucceeds = true;
        auto failed = session(0);
        auto second = run();
        EXPECT_TRUE(failed->cancelled);
        failed.reset();
        EXPECT_FALSE(session(0)) << "a session that never showed is not kept";
        complete(1, std::nullopt, Error::from(AuthenticationSessionError::canceledLogin));
        EXPECT_EQ(*second, "cancelled");
        EXPECT_EQ(*word, "error") << "answered once only";
    }

    TEST_F(NativeOAuthTest, ASupersededSessionIsAnsweredCancelledWhileTheNewerOneGoesOn)
    {
        auto first = run();
        auto second = run();
        EXPECT_TRUE(session(0)->cancelled);
        EXPECT_FALSE(session(1)->cancelled);

        complete(0, std::nullopt, Error::from(AuthenticationSessionError::canceledLogin));
        EXPECT_EQ(*first, "cancelled");
        EXPECT_FALSE(*second);
        EXPECT_TRUE(oauth->hasCurrentSession()) << "the newer session is still current";
        EXPECT_FALSE(session(0)) << "the finished session is released";
        ASSERT_TRUE(session(1));

        complete(1, parseUrl("https://office.norla.jp/auth/callback?code=2"), std::nullopt);
        EXPECT_EQ(*second, "ok");
        EXPECT_EQ(webView->loadedURLs(),
            (std::vector<std::string> { errorPage, "https://office.norla.jp/auth/callback?code=2" }));
        EXPECT_FALSE(oauth->hasCurrentSession());
    }

    TEST_F(NativeOAuthTest, ACompletionFromAnotherThreadIsHandledOnTheMainThread)
    {
        auto word = run();
        auto first = session(0);
        std::thread([first] {
            first->complete(parseUrl("https://office.norla.jp/auth/callback"), std::nullopt);
        }).join();
        EXPECT_FALSE(*word);
        environment.main().runUntilIdle();
        EXPECT_EQ(*word, "ok");
    }

    TEST(PresentationContextTest, AnchorsToTheKeyWindowElseTheFirstElseANewOne)
    {
        auto application = std::make_shared<test::FakeSharedApplication>();
        PresentationContext context(application);
        auto made = context.presentationAnchor();
        EXPECT_EQ(application->madeWindows.size(), 1u);
        EXPECT_EQ(made, application->madeWindows[0]);

        application->windows
            = { std::make_shared<test::FakeWindow>("first"), std::make_shared<test::FakeWindow>("second") };
        EXPECT_EQ(context.presentationAnchor(), application->windows[0]);
        application->windows[1]->key = true;
        EXPECT_EQ(context.presentationAnchor(), application->windows[1]);
    }

} // namespace
} // namespace norla
