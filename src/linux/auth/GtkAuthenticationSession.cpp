#include "auth/GtkAuthenticationSession.h"

#include "app/AppURL.h"
#include "app/GtkWindowHandle.h"

#include <string>

namespace norla {

namespace {

    bool isWebPage(const Url& url)
    {
        auto scheme = lowercased(url.scheme);
        return (scheme == "https" || scheme == "http") && url.host;
    }

} // namespace

GtkAuthenticationSession::GtkAuthenticationSession(Url url, AuthenticationCallback callback,
    GRef<WebKitNetworkSession> networkSession, AuthenticationSessionFactory::Completion completion)
    : m_url(std::move(url))
    , m_callback(std::move(callback))
    , m_networkSession(std::move(networkSession))
    , m_completion(std::move(completion))
{
}

GtkAuthenticationSession::~GtkAuthenticationSession()
{
    m_connections.clear();
    m_ending.reset();
    if (m_window)
        gtk_window_destroy(m_window.get());
}

bool GtkAuthenticationSession::start()
{
    if (m_state != State::idle || !isWebPage(m_url))
        return false;
    m_anchor = m_presentationContext ? m_presentationContext->presentationAnchor() : nullptr;
    auto* handle = dynamic_cast<GtkWindowHandle*>(m_anchor.get());
    GtkWindow* parent = handle ? handle->gtkWindow() : nullptr;
    makeWindow(parent);
    connectSignals(parent);
    m_state = State::showing;
    webkit_web_view_load_uri(m_webView.get(), m_url.absoluteString.c_str());
    gtk_window_present(m_window.get());
    return true;
}

void GtkAuthenticationSession::makeWindow(GtkWindow* parent)
{
    auto session = m_prefersEphemeral ? GRef<WebKitNetworkSession>::adopt(webkit_network_session_new_ephemeral())
                                      : m_networkSession;
    m_webView = GRef<WebKitWebView>::sink(
        WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "network-session", session.get(), nullptr)));

    m_window = GRef<GtkWindow>::retain(GTK_WINDOW(gtk_window_new()));
    GtkWindow* window = m_window.get();
    gtk_window_set_title(window, title);
    gtk_window_set_default_size(window, defaultWidth, defaultHeight);
    gtk_window_set_modal(window, TRUE);
    if (parent) {
        gtk_window_set_transient_for(window, parent);
        if (auto* application = gtk_window_get_application(parent))
            gtk_window_set_application(window, application);
    }
    gtk_window_set_child(window, GTK_WIDGET(m_webView.get()));

    // Escape closes the sheet, as it dismisses a sheet elsewhere.
    auto* shortcuts = gtk_shortcut_controller_new();
    gtk_shortcut_controller_add_shortcut(GTK_SHORTCUT_CONTROLLER(shortcuts),
        gtk_shortcut_new(gtk_keyval_trigger_new(GDK_KEY_Escape, static_cast<GdkModifierType>(0)),
            gtk_named_action_new("window.close")));
    gtk_widget_add_controller(GTK_WIDGET(window), shortcuts);
}

void GtkAuthenticationSession::connectSignals(GtkWindow* parent)
{
    m_connections.push_back(
        connectSignal<gboolean(WebKitWebView*, WebKitPolicyDecision*, WebKitPolicyDecisionType)>(m_webView.get(),
            "decide-policy", [this](WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type) {
                return decidePolicy(decision, type);
            }));
    m_connections.push_back(connectSignal<void(WebKitWebView*, GParamSpec*)>(
        m_webView.get(), "notify::uri", [this](WebKitWebView*, GParamSpec*) { updateTitle(); }));
    // The close button, Escape and the window manager: the sheet closes itself and reports (a callback
    // already reached still counts).
    m_connections.push_back(connectSignal<gboolean(GtkWindow*)>(m_window.get(), "close-request", [this](GtkWindow*) {
        end();
        return TRUE;
    }));
    // Destroyed from outside (the application going away): the sheet is over as well.
    m_connections.push_back(
        connectSignal<void(GtkWidget*)>(m_window.get(), "unrealize", [this](GtkWidget*) { end(); }));
    // A destroyed window is unrealized; a window made for the sheet alone, never shown, never is.
    if (parent)
        m_connections.push_back(connectSignal<void(GtkWidget*)>(parent, "unrealize", [this](GtkWidget*) { end(); }));
}

gboolean GtkAuthenticationSession::decidePolicy(WebKitPolicyDecision* decision, WebKitPolicyDecisionType type)
{
    if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE)
        return FALSE;
    if (m_callbackURL) {
        // The sign-in is over: nothing more loads while the sheet goes away.
        webkit_policy_decision_ignore(decision);
        return TRUE;
    }
    // Main-frame loads, redirects and links alike: WebKitGTK does not tell frames apart here.
    auto* action = webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
    auto url = uri ? parseUrl(uri) : std::nullopt;
    if (!url || !m_callback.matches(*url))
        return FALSE;
    webkit_policy_decision_ignore(decision);
    m_callbackURL = std::move(url);
    endSoon();
    return TRUE;
}

void GtkAuthenticationSession::endSoon()
{
    // Not from inside WebKit's own signal: the sheet and its web view go once WebKit has returned.
    m_ending.reset(g_idle_source_new());
    g_source_set_callback(
        m_ending.get(),
        [](gpointer self) -> gboolean {
            static_cast<GtkAuthenticationSession*>(self)->end();
            return G_SOURCE_REMOVE;
        },
        this, nullptr);
    g_source_attach(m_ending.get(), nullptr);
}

void GtkAuthenticationSession::cancel()
{
    if (m_state == State::idle) {
        m_state = State::ended; // never shown: nothing to report
        return;
    }
    // A cancel wins over a callback reached but not yet reported.
    m_callbackURL.reset();
    end();
}

void GtkAuthenticationSession::end()
{
    if (m_state != State::showing)
        return;
    m_state = State::ended;
    // The completion may release the last reference to this session.
    auto self = weak_from_this().lock();
    m_connections.clear();
    m_ending.reset();
    if (auto window = std::exchange(m_window, nullptr))
        gtk_window_destroy(window.get()); // nothing more when it is already on its way out
    m_webView.reset();
    m_anchor.reset();
    auto completion = std::move(m_completion);
    auto callbackURL = std::exchange(m_callbackURL, std::nullopt);
    if (!completion)
        return;
    if (callbackURL)
        completion(std::move(callbackURL), std::nullopt);
    else
        completion(std::nullopt, Error::from(AuthenticationSessionError::canceledLogin));
}

void GtkAuthenticationSession::updateTitle()
{
    // The address bar's part: which site the user is signing in to.
    const char* uri = webkit_web_view_get_uri(m_webView.get());
    auto url = uri && *uri ? parseUrl(uri) : std::nullopt;
    std::string text = url && url->host ? std::string(title) + " — " + *url->host : std::string(title);
    gtk_window_set_title(m_window.get(), text.c_str());
}

} // namespace norla
