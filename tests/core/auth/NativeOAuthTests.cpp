#include "../web/WebHostFixture.h"

#include "FakeAuthenticationSessions.h"
#include "FakeSharedApplication.h"
#include "auth/NativeOAuth.h"
#include "auth/PresentationContext.h"

#include <thread>

namespace norla {
namespace {

    constexpr const char* errorPage = "https://office.norla.jp/auth/login?error=auth_failed";

    class NativeOAuthTest : public test::WebHostTest {
    protected:
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
            session(index)->completion(std::move(callbackURL), std::move(error));
            env.main().runUntilIdle();
        }

        std::shared_ptr<test::FakeAuthenticationSessionFactory> factory
            = std::make_shared<test::FakeAuthenticationSessionFactory>();
        std::shared_ptr<NativeOAuth> oauth = NativeOAuth::make(
            factory, std::make_shared<PresentationContext>(std::make_shared<test::FakeSharedApplication>()));
        std::shared_ptr<test::FakeWebView> webView = std::make_shared<test::FakeWebView>();
        Url appURL = url("https://office.norla.jp");
    };

    TEST_F(NativeOAuthTest, TheSheetGetsTheNormalisedCallbackAndHowItEndsDecidesWhatThePageLoadsAndHears)
    {
        const auto callback = parseUrl("https://office.norla.jp/auth/callback?code=abc");
        struct Case {
            std::optional<Url> callbackURL;
            std::optional<Error> error;
            std::string word;
            std::string loaded;
        } cases[] = {
            { callback, std::nullopt, "ok", callback->absoluteString },
            { callback, Error::from(AuthenticationSessionError::canceledLogin), "cancelled", errorPage },
            { std::nullopt, Error::from(AuthenticationSessionError::presentationContextInvalid), "error", errorPage },
            { std::nullopt, std::nullopt, "error", errorPage }, // neither a callback nor an error
            { std::nullopt, Error::platform("network", 1), "error", errorPage }, // code 1 of another domain
        };
        std::vector<std::string> loaded;
        for (const auto& row : cases) {
            auto word = run("\u3000 \n Office.NORLA.jp\t\u00a0\u2028", "auth/callback");
            auto sheet = session(loaded.size());
            EXPECT_EQ(sheet->callbackHost, "office.norla.jp");
            EXPECT_EQ(sheet->callbackPath, "/auth/callback");
            EXPECT_EQ(sheet->url.absoluteString, "https://accounts.google.com/o/oauth2/auth?client_id=1");
            EXPECT_TRUE(sheet->ephemeral == false && sheet->presentationContext && sheet->started);
            EXPECT_FALSE(*word) << "the page waits for the sheet";
            complete(loaded.size(), row.callbackURL, row.error);
            EXPECT_EQ(*word, row.word) << loaded.size();
            loaded.push_back(row.loaded);
        }
        EXPECT_EQ(webView->loadedURLs(), loaded);
    }

    // A new run cancels the one before: a sheet that never showed is let go at once, one that showed lives
    // until the platform reports its end, and the newest session stays current meanwhile.
    TEST_F(NativeOAuthTest, ANewRunCancelsTheSessionBeforeIt)
    {
        factory->nextStartSucceeds = false;
        auto unstarted = run();
        EXPECT_EQ(*unstarted, "error");
        factory->nextStartSucceeds = true;
        auto superseded = run();
        EXPECT_FALSE(session(0)) << "a session that never showed is not kept";
        auto newest = run();
        EXPECT_TRUE(session(1)->cancelled);
        EXPECT_FALSE(session(2)->cancelled);

        complete(1, std::nullopt, Error::from(AuthenticationSessionError::canceledLogin));
        EXPECT_EQ(*superseded, "cancelled");
        EXPECT_FALSE(session(1)) << "the finished session is released";
        EXPECT_TRUE(oauth->hasCurrentSession()) << "the newer session is still current";

        // Its completion arrives on another thread and is handled on the main thread.
        std::thread([session = session(2)] {
            session->completion(parseUrl("https://office.norla.jp/auth/callback?code=2"), std::nullopt);
        }).join();
        EXPECT_FALSE(*newest);
        env.main().runUntilIdle();
        EXPECT_EQ(*newest, "ok");
        EXPECT_EQ(webView->loadedURLs(),
            (std::vector<std::string> { errorPage, errorPage, "https://office.norla.jp/auth/callback?code=2" }));
        EXPECT_FALSE(oauth->hasCurrentSession());
    }

    TEST(PresentationContextTest, AnchorsToTheKeyWindowElseTheFirstElseANewOne)
    {
        auto application = std::make_shared<test::FakeSharedApplication>();
        PresentationContext context(application);
        auto made = context.presentationAnchor();
        EXPECT_EQ(application->madeWindows.size(), 1u);
        EXPECT_EQ(made, application->madeWindows[0]);

        application->windows = { std::make_shared<test::FakeWindow>(), std::make_shared<test::FakeWindow>() };
        EXPECT_EQ(context.presentationAnchor(), application->windows[0]);
        application->windows[1]->key = true;
        EXPECT_EQ(context.presentationAnchor(), application->windows[1]);
    }

} // namespace
} // namespace norla
