#pragma once

#include "auth/AuthenticationCallback.h"
#include "foundation/GRef.h"
#include "foundation/SignalConnection.h"
#include "platform/AuthenticationSession.h"

#include <gtk/gtk.h>
#include <webkit/webkit.h>

#include <memory>
#include <optional>
#include <vector>

namespace norla {

// The sign-in sheet on GTK: a modal window with a web view of its own, on the application's network
// session so that the provider's cookies and ours are the main view's. It ends when a navigation reaches
// the callback (that navigation is cancelled and the callback URL reported), or with the cancelled login
// when the user closes it, when `cancel` is called, or when the window it is shown over goes away. The
// completion runs once, on the main thread. Main thread only.
class GtkAuthenticationSession final : public AuthenticationSession,
                                       public std::enable_shared_from_this<GtkAuthenticationSession> {
public:
    static constexpr int defaultWidth = 520;
    static constexpr int defaultHeight = 720;
    static constexpr const char* title = "ログイン";

    GtkAuthenticationSession(Url url, AuthenticationCallback callback, GRef<WebKitNetworkSession> networkSession,
        AuthenticationSessionFactory::Completion completion);
    // A sheet still showing closes without a report: its owner is gone.
    ~GtkAuthenticationSession() override;
    GtkAuthenticationSession(const GtkAuthenticationSession&) = delete;
    GtkAuthenticationSession& operator=(const GtkAuthenticationSession&) = delete;

    void setPresentationContextProvider(std::shared_ptr<AuthenticationPresentationContextProviding> provider) override
    {
        m_presentationContext = std::move(provider);
    }
    void setPrefersEphemeralWebBrowserSession(bool prefers) override { m_prefersEphemeral = prefers; }
    // Shows the sheet over the presentation anchor, if it is a GTK window, and loads the sign-in page.
    // False for a second start, after `cancel`, or for an address that is not a web page.
    bool start() override;
    void cancel() override;

    // The sheet and its web view while it shows; null before and after.
    GtkWindow* window() const { return m_window.get(); }
    WebKitWebView* webView() const { return m_webView.get(); }

private:
    enum class State { idle, showing, ended };
    struct SourceDeleter {
        void operator()(GSource* source) const
        {
            g_source_destroy(source);
            g_source_unref(source);
        }
    };

    void makeWindow(GtkWindow* parent);
    void connectSignals(GtkWindow* parent);
    gboolean decidePolicy(WebKitPolicyDecision* decision, WebKitPolicyDecisionType type);
    void endSoon();
    // Closes the sheet and reports the callback URL if one was reached, else the cancelled login.
    void end();
    void updateTitle();

    Url m_url;
    AuthenticationCallback m_callback;
    GRef<WebKitNetworkSession> m_networkSession;
    AuthenticationSessionFactory::Completion m_completion;
    std::shared_ptr<AuthenticationPresentationContextProviding> m_presentationContext;
    bool m_prefersEphemeral = false;

    State m_state = State::idle;
    // Set once a navigation reached the callback; reported when the sheet has closed.
    std::optional<Url> m_callbackURL;
    // Held while the sheet shows: a window made for the sheet alone lives as long as the sheet.
    std::shared_ptr<Window> m_anchor;
    GRef<GtkWindow> m_window;
    GRef<WebKitWebView> m_webView;
    std::unique_ptr<GSource, SourceDeleter> m_ending;
    std::vector<SignalConnection> m_connections;
};

} // namespace norla
