// The sign-in sheet in real WebKit against the demo's provider pages, alone and started by the page.
#include "OfficeHostFixture.h"
#include "WebKitFixture.h"

#include "app/GtkWindowHandle.h"
#include "auth/GtkAuthenticationSession.h"
#include "auth/GtkAuthenticationSessionFactory.h"
#include "platform/Seams.h"

#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace norla::test {
namespace {

    constexpr const char* callbackHost = "callback.example";
    constexpr const char* callbackPath = "/oauth/done";
    constexpr const char* callback = "https%3A%2F%2Fcallback.example%2Foauth%2Fdone";

    struct Report {
        std::optional<Url> callbackURL;
        std::optional<Error> error;
    };

    // A window of the application's, as the presentation context hands it out.
    class ShownWindow final : public Window, public GtkWindowHandle {
    public:
        explicit ShownWindow(GtkWindow* window)
            : m_window(window)
        {
        }
        bool isKeyWindow() const override { return true; }
        GtkWindow* gtkWindow() const override { return m_window; }

    private:
        GtkWindow* m_window;
    };

    struct WindowDestroyer {
        void operator()(GtkWindow* window) const { gtk_window_destroy(window); }
    };
    using OwnedWindow = std::unique_ptr<GtkWindow, WindowDestroyer>;

    OwnedWindow presentedWindow()
    {
        OwnedWindow window(GTK_WINDOW(gtk_window_new()));
        gtk_window_present(window.get());
        return window;
    }

    class Anchor final : public AuthenticationPresentationContextProviding {
    public:
        explicit Anchor(std::shared_ptr<Window> window)
            : m_window(std::move(window))
        {
        }
        std::shared_ptr<Window> presentationAnchor() override { return m_window; }

    private:
        std::shared_ptr<Window> m_window;
    };

    class AuthenticationSessionTest : public WebKitFixture {
    protected:
        void TearDown() override
        {
            m_session.reset();
            WebKitFixture::TearDown();
            m_webViews.reset();
        }

        GtkAuthenticationSession& makeSession(const std::string& path)
        {
            if (!m_webViews)
                m_webViews
                    = std::make_unique<WebKitWebViewFactory>(dataDirectory() / "data", dataDirectory() / "cache");
            GtkAuthenticationSessionFactory factory(
                GRef<WebKitNetworkSession>::retain(m_webViews->persistentSession()));
            auto url = parseUrl(origin() + path);
            EXPECT_TRUE(url) << path;
            auto session = factory.makeSession(url.value_or(Url {}), callbackHost, callbackPath,
                [this, mainThread = std::this_thread::get_id()](
                    std::optional<Url> callbackURL, std::optional<Error> error) {
                    EXPECT_EQ(std::this_thread::get_id(), mainThread) << "completed off the main thread";
                    m_reports.push_back({ std::move(callbackURL), std::move(error) });
                });
            m_session = std::dynamic_pointer_cast<GtkAuthenticationSession>(session);
            EXPECT_TRUE(m_session);
            return *m_session;
        }

        bool waitForSheetLoad()
        {
            bool finished = false;
            auto connection = connectSignal<void(WebKitWebView*, WebKitLoadEvent)>(
                m_session->webView(), "load-changed", [&finished](WebKitWebView*, WebKitLoadEvent event) {
                    finished = finished || event == WEBKIT_LOAD_FINISHED;
                });
            return runUntil([&] { return finished; });
        }

        // Lets the main loop run on for a moment, so that a second report would have arrived.
        void settle()
        {
            for (int i = 0; i < 100 && g_main_context_iteration(nullptr, FALSE); ++i) { }
        }

        static bool isCancelledLogin(const Report& report)
        {
            return !report.callbackURL && report.error && report.error->is(AuthenticationSessionError::canceledLogin);
        }

        std::unique_ptr<WebKitWebViewFactory> m_webViews;
        std::shared_ptr<GtkAuthenticationSession> m_session;
        std::vector<Report> m_reports;
    };

    TEST_F(AuthenticationSessionTest, ClosingTheSheetOrTheWindowItIsShownOverReportsTheCancelledLoginOnce)
    {
        auto& closed = makeSession(std::string("/auth/oauth/authorize?callback=") + callback);
        ASSERT_TRUE(closed.start());
        ASSERT_TRUE(waitForSheetLoad());
        gtk_window_close(closed.window());
        ASSERT_TRUE(runUntil([&] { return !m_reports.empty(); }));
        settle();
        ASSERT_EQ(m_reports.size(), 1u);
        EXPECT_TRUE(isCancelledLogin(m_reports[0]));
        EXPECT_EQ(closed.window(), nullptr);

        m_reports.clear();
        auto parent = presentedWindow();
        auto& orphaned = makeSession(std::string("/auth/oauth/authorize?callback=") + callback);
        orphaned.setPresentationContextProvider(std::make_shared<Anchor>(std::make_shared<ShownWindow>(parent.get())));
        ASSERT_TRUE(orphaned.start());
        EXPECT_EQ(gtk_window_get_transient_for(orphaned.window()), parent.get());
        EXPECT_TRUE(gtk_window_get_modal(orphaned.window()));
        parent.reset();
        settle();
        ASSERT_EQ(m_reports.size(), 1u);
        EXPECT_TRUE(isCancelledLogin(m_reports[0]));
        EXPECT_EQ(orphaned.window(), nullptr);
        EXPECT_FALSE(orphaned.start()) << "a session starts once";
    }

    // The application's own sign-in: the page's startOAuth through the bridge, the sheet on the main view's
    // network session, and the answer back in the page.
    class SignInEndToEndTest : public OfficeHostFixture {
    protected:
        class RecordingFactory final : public AuthenticationSessionFactory {
        public:
            explicit RecordingFactory(GRef<WebKitNetworkSession> networkSession)
                : m_factory(std::move(networkSession))
            {
            }
            std::shared_ptr<AuthenticationSession> makeSession(
                const Url& url, std::string host, std::string path, Completion completion) override
            {
                auto session = m_factory.makeSession(url, std::move(host), std::move(path), std::move(completion));
                sessions.push_back(std::dynamic_pointer_cast<GtkAuthenticationSession>(session));
                return session;
            }
            std::vector<std::weak_ptr<GtkAuthenticationSession>> sessions;

        private:
            GtkAuthenticationSessionFactory m_factory;
        };

        std::shared_ptr<GtkWebView> openSignedOut()
        {
            auto webView = openOffice("/chat");
            if (!webView)
                return nullptr;
            m_factory = std::make_shared<RecordingFactory>(
                GRef<WebKitNetworkSession>::retain(webkit_web_view_get_network_session(webView->widget())));
            Seam<AuthenticationSessionFactory>::install(m_factory);
            return webView;
        }
        void TearDown() override
        {
            Seam<AuthenticationSessionFactory>::install(nullptr);
            m_factory.reset();
            OfficeHostFixture::TearDown();
        }
        // The page's answer, kept in the tab's session storage so that it outlives a navigation.
        Result<Value> startOAuth(GtkWebView& webView, const std::string& path)
        {
            return call(webView,
                "sessionStorage.removeItem('oauth');"
                "window.norlaMobile.startOAuth({ url, callbackHost: ' Callback.Example\\n', callbackPath: 'oauth/done' "
                "})"
                "  .then((word) => sessionStorage.setItem('oauth', word));",
                { { "url", origin() + path } });
        }
        int pushRegistrationStatus(GtkWebView& webView)
        {
            auto status = call(webView,
                "const response = await fetch('/api/push/apns/register', { method: 'POST', body: '{}' });"
                "return response.status;");
            return status.ok() && status.value().asInteger() ? static_cast<int>(*status.value().asInteger()) : -1;
        }

        std::shared_ptr<RecordingFactory> m_factory;
    };

    TEST_F(SignInEndToEndTest, TheProvidersRedirectAnswersThePageOkAndSignsInTheApplicationsView)
    {
        auto webView = openSignedOut();
        ASSERT_TRUE(webView);
        EXPECT_EQ(pushRegistrationStatus(*webView), 401);

        ASSERT_TRUE(startOAuth(*webView, std::string("/auth/oauth/approve?callback=") + callback).ok());
        ASSERT_TRUE(waitInPage(*webView, "sessionStorage.getItem('oauth') !== null"));
        EXPECT_EQ(call(*webView, "return sessionStorage.getItem('oauth');").value(), Value("ok"));
        ASSERT_EQ(m_factory->sessions.size(), 1u);
        EXPECT_TRUE(m_factory->sessions[0].expired()) << "the finished sheet is released";
        // The provider's sign-in happened on the application's network session: its cookie is the view's.
        EXPECT_EQ(pushRegistrationStatus(*webView), 400);
    }

} // namespace
} // namespace norla::test
