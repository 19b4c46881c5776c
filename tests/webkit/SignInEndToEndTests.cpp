// The sign-in sheet in real WebKit against the demo's provider pages, started by the page.
#include "WebKitFixture.h"

#include "auth/GtkAuthenticationSession.h"
#include "auth/GtkAuthenticationSessionFactory.h"
#include "platform/Seams.h"

#include <memory>
#include <string>
#include <vector>

namespace norla::test {
namespace {

    // The application's sheets on the main view's network session, each remembered so that the test can close
    // it and see it released.
    struct RecordingFactory final : AuthenticationSessionFactory {
        explicit RecordingFactory(WebKitNetworkSession* networkSession)
            : factory(GRef<WebKitNetworkSession>::retain(networkSession))
        {
        }
        std::shared_ptr<AuthenticationSession> makeSession(
            const Url& url, std::string host, std::string path, Completion completion) override
        {
            auto session = factory.makeSession(url, std::move(host), std::move(path), std::move(completion));
            sessions.push_back(std::dynamic_pointer_cast<GtkAuthenticationSession>(session));
            return session;
        }
        GtkAuthenticationSessionFactory factory;
        std::vector<std::weak_ptr<GtkAuthenticationSession>> sessions;
    };

    // The application's own sign-in: the page's startOAuth through the bridge, the sheet, and the answer back
    // in the page.
    class SignInEndToEndTest : public WebKitFixture {
    protected:
        void TearDown() override
        {
            Seam<AuthenticationSessionFactory>::install(nullptr);
            WebKitFixture::TearDown();
        }
        // Starts the page's sign-in at `path` on the demo's provider; its answer is kept in the tab's session
        // storage, so that it outlives a navigation.
        void startSignIn(GtkWebView& webView, const std::string& path)
        {
            ASSERT_TRUE(call(webView,
                "sessionStorage.removeItem('oauth');"
                "window.norlaMobile.startOAuth({ url, callbackHost: ' Callback.Example\\n', callbackPath: 'oauth/done' "
                "})"
                "  .then((word) => sessionStorage.setItem('oauth', word));",
                { { "url", origin() + path + "?callback=https%3A%2F%2Fcallback.example%2Foauth%2Fdone" } })
                            .ok());
        }
        std::string answer(GtkWebView& webView)
        {
            EXPECT_TRUE(waitInPage(webView, "sessionStorage.getItem('oauth') !== null"));
            auto answer = call(webView, "return sessionStorage.getItem('oauth');");
            return answer.ok() && answer.value().asString() ? *answer.value().asString() : "";
        }
        int pushRegistrationStatus(GtkWebView& webView)
        {
            auto status = call(webView,
                "const response = await fetch('/api/push/apns/register', { method: 'POST', body: '{}' });"
                "return response.status;");
            return status.ok() && status.value().asInteger() ? static_cast<int>(*status.value().asInteger()) : -1;
        }
    };

    TEST_F(SignInEndToEndTest, ClosingTheSheetAnswersCancelledAndTheProvidersRedirectSignsInTheApplicationsView)
    {
        auto webView = openOffice("/chat");
        ASSERT_TRUE(webView);
        auto factory = std::make_shared<RecordingFactory>(webkit_web_view_get_network_session(webView->widget()));
        Seam<AuthenticationSessionFactory>::install(factory);
        // Closed by the user: cancelled, and the view lands on the sign-in failure page.
        startSignIn(*webView, "/auth/oauth/authorize");
        ASSERT_TRUE(runUntil([&] { return !factory->sessions.empty(); }));
        auto sheet = factory->sessions[0].lock();
        ASSERT_TRUE(sheet && sheet->window());
        ASSERT_TRUE(waitForLoad(*webView, [&] { gtk_window_close(sheet->window()); }));
        sheet.reset();
        EXPECT_EQ(answer(*webView), "cancelled");
        EXPECT_EQ(webView->url()->path, "/auth/login");
        EXPECT_EQ(webView->url()->query, "error=auth_failed");

        EXPECT_EQ(pushRegistrationStatus(*webView), 401);
        startSignIn(*webView, "/auth/oauth/approve");
        EXPECT_EQ(answer(*webView), "ok");
        ASSERT_EQ(factory->sessions.size(), 2u);
        EXPECT_TRUE(factory->sessions[1].expired()) << "the finished sheet is released";
        // The provider's sign-in happened on the application's network session: its cookie is the view's,
        // and it outlives that session, as after a restart.
        EXPECT_EQ(pushRegistrationStatus(*webView), 400);
        useLoadTimeout(seconds(60));
        auto restarted = openOffice("/chat");
        ASSERT_TRUE(restarted);
        EXPECT_EQ(pushRegistrationStatus(*restarted), 400);
    }

} // namespace
} // namespace norla::test
