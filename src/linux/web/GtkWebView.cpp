#include "web/GtkWebView.h"

#include "foundation/GUniquePtr.h"
#include "platform/GUriParser.h"
#include "web/NavigationDelegate.h"
#include "web/UIDelegate.h"
#include "web/UriSchemeRouter.h"
#include "web/WebKitConfiguration.h"
#include "web/WebKitRefs.h"

#include <algorithm>
#include <cctype>

namespace norla {

namespace {

    constexpr const char* hostKey = "norla-web-view-host";

    // WebKitGTK passes numbers, strings and dictionaries only, so the arguments travel as one JSON text
    // and the body starts by unpacking them under their names.
    std::optional<std::string> unpackingPrologue(const Value::Object& arguments)
    {
        std::string prologue;
        for (const auto& [name, value] : arguments) {
            bool valid = !name.empty() && !std::isdigit(static_cast<unsigned char>(name.front()));
            for (char c : name)
                valid = valid && (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$');
            if (!valid)
                return std::nullopt;
            prologue += "const " + name + " = __norlaArguments[\"" + name + "\"];\n";
        }
        return "__norlaArguments = JSON.parse(__norlaArguments);\n" + prologue;
    }

    struct ScriptCall {
        CompletionHandler<void(Result<Value>)> completion;
    };

    void didCallScript(GObject* source, GAsyncResult* result, gpointer data)
    {
        std::unique_ptr<ScriptCall> call(static_cast<ScriptCall*>(data));
        GErrorPtr error;
        auto value = GRef<JSCValue>::adopt(
            webkit_web_view_call_async_javascript_function_finish(WEBKIT_WEB_VIEW(source), result, GErrorOut(error)));
        if (!value) {
            call->completion(Error::platform(error ? error->message : "JavaScript failed"));
            return;
        }
        Value answer;
        if (!jsc_value_is_undefined(value.get())) {
            GCharPtr json(jsc_value_to_json(value.get(), 0));
            if (json)
                answer = Value::fromJSON(json.get()).value_or(Value());
        }
        call->completion(std::move(answer));
    }

    Error loadError(const GError* error)
    {
        return Error::platform(error ? error->message : "load failed", error ? error->code : 0);
    }

    Error timeoutError() { return Error::platform("読み込みがタイムアウトしました", G_IO_ERROR_TIMED_OUT); }

} // namespace

GtkWebView::GtkWebView(WebKitConfiguration& configuration, WebKitNetworkSession* session, Duration loadTimeout)
    : m_widget(GRef<WebKitWebView>::sink(WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "network-session", session,
        "user-content-manager", configuration.userContentManager(), "settings", configuration.settings(), nullptr))))
    , m_bridge(configuration.takeBridge())
    , m_loadTimeout(loadTimeout)
{
    g_object_set_data(G_OBJECT(m_widget.get()), hostKey, this);
    for (const auto& [scheme, handler] : configuration.schemeHandlers())
        UriSchemeRouter::shared().route(scheme, m_widget.get(), handler);
    connectSignals();
}

GtkWebView::~GtkWebView()
{
    m_loadTimer.reset();
    m_connections.clear();
    g_object_set_data(G_OBJECT(m_widget.get()), hostKey, nullptr);
    UriSchemeRouter::shared().forget(m_widget.get());
}

GtkWebView* GtkWebView::fromWidget(WebKitWebView* widget)
{
    return static_cast<GtkWebView*>(g_object_get_data(G_OBJECT(widget), hostKey));
}

void GtkWebView::connectSignals()
{
    gpointer widget = m_widget.get();
    m_connections.push_back(connectSignal<gboolean(WebKitWebView*, WebKitPolicyDecision*, WebKitPolicyDecisionType)>(
        widget, "decide-policy", [this](WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type) {
            return decidePolicy(decision, type);
        }));
    m_connections.push_back(
        connectSignal<gboolean(WebKitWebView*, WebKitPermissionRequest*)>(widget, "permission-request",
            [this](WebKitWebView*, WebKitPermissionRequest* request) { return permissionRequest(request); }));
    m_connections.push_back(connectSignal<void(WebKitWebView*, WebKitLoadEvent)>(
        widget, "load-changed", [this](WebKitWebView*, WebKitLoadEvent event) { loadChanged(event); }));
    m_connections.push_back(connectSignal<gboolean(WebKitWebView*, WebKitLoadEvent, char*, GError*)>(
        widget, "load-failed", [this](WebKitWebView*, WebKitLoadEvent event, char* uri, GError* error) {
            return loadFailed(event, uri, error);
        }));
    // No new windows: window.open and target=_blank get nothing, as without a UI delegate that makes them.
    m_connections.push_back(connectSignal<GtkWidget*(WebKitWebView*, WebKitNavigationAction*)>(
        widget, "create", [](WebKitWebView*, WebKitNavigationAction*) -> GtkWidget* { return nullptr; }));
}

gboolean GtkWebView::decidePolicy(WebKitPolicyDecision* decision, WebKitPolicyDecisionType type)
{
    if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) {
        auto* response = WEBKIT_RESPONSE_POLICY_DECISION(decision);
        if (!webkit_response_policy_decision_is_main_frame_main_resource(response))
            m_origins.didReceiveFrameDocument(
                webkit_uri_response_get_uri(webkit_response_policy_decision_get_response(response)));
        return FALSE; // WebKit's default: show what can be shown, download the rest
    }
    auto delegate = m_navigationDelegate.lock();
    if (!delegate)
        return FALSE;
    auto* action = webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    NavigationAction navigation;
    const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
    if (uri && *uri) {
        navigation.requestURL = GUriParser().parseSerialized(uri);
        navigation.requestURLUnparsable = !navigation.requestURL;
    }
    auto held = GRef<WebKitPolicyDecision>::retain(decision);
    delegate->decidePolicyForNavigationAction(*this, navigation, [held](NavigationActionPolicy policy) {
        if (policy == NavigationActionPolicy::allow)
            webkit_policy_decision_use(held.get());
        else
            webkit_policy_decision_ignore(held.get());
    });
    return TRUE;
}

gboolean GtkWebView::permissionRequest(WebKitPermissionRequest* request)
{
    if (!WEBKIT_IS_USER_MEDIA_PERMISSION_REQUEST(request))
        return FALSE;
    auto delegate = m_uiDelegate.lock();
    if (!delegate)
        return FALSE;
    auto* media = WEBKIT_USER_MEDIA_PERMISSION_REQUEST(request);
    bool audio = webkit_user_media_permission_is_for_audio_device(media);
    bool video = webkit_user_media_permission_is_for_video_device(media);
    auto type = audio && video ? MediaCaptureType::cameraAndMicrophone
        : video                ? MediaCaptureType::camera
                               : MediaCaptureType::microphone;
    auto frame = m_origins.mediaCaptureRequester();
    auto held = GRef<WebKitPermissionRequest>::retain(request);
    delegate->requestMediaCapturePermission(
        *this, frame.securityOrigin, frame, type, [held](PermissionDecision decision) {
            if (decision == PermissionDecision::grant)
                webkit_permission_request_allow(held.get());
            else
                webkit_permission_request_deny(held.get());
        });
    return TRUE;
}

void GtkWebView::loadChanged(WebKitLoadEvent event)
{
    if (event == WEBKIT_LOAD_STARTED) {
        m_currentLoadFailed = false;
        m_loadTimedOut = false;
        auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(m_loadTimeout).count();
        m_loadTimer.reset(g_timeout_source_new(static_cast<guint>(std::max<long long>(milliseconds, 0))));
        g_source_set_callback(
            m_loadTimer.get(),
            [](gpointer self) {
                static_cast<GtkWebView*>(self)->loadDidTimeOut();
                return G_SOURCE_REMOVE;
            },
            this, nullptr);
        g_source_attach(m_loadTimer.get(), nullptr);
    }
    if (event == WEBKIT_LOAD_COMMITTED)
        m_origins.didCommitMainDocument(webkit_web_view_get_uri(m_widget.get()));
    if (event != WEBKIT_LOAD_FINISHED)
        return;
    m_loadTimer.reset();
    // WebKitGTK also finishes a failed load; only a load that succeeded counts as finished. A committed
    // load stopped for taking too long may finish without failing: it failed all the same.
    if (m_currentLoadFailed)
        return;
    if (m_loadTimedOut) {
        reportFailure(WEBKIT_LOAD_COMMITTED, { timeoutError(), url() });
        return;
    }
    if (auto delegate = m_navigationDelegate.lock())
        delegate->didFinishNavigation(*this);
}

gboolean GtkWebView::loadFailed(WebKitLoadEvent event, const char* failingURI, GError* error)
{
    m_loadTimer.reset();
    reportFailure(event,
        { m_loadTimedOut ? timeoutError() : loadError(error),
            failingURI ? GUriParser().parseSerialized(failingURI) : std::nullopt });
    // Handled: no WebKit error page. Like WKWebView, the view keeps what it showed, and the error page's
    // own load never looks like a finished navigation.
    return TRUE;
}

void GtkWebView::reportFailure(WebKitLoadEvent event, NavigationError failure)
{
    m_currentLoadFailed = true;
    auto delegate = m_navigationDelegate.lock();
    if (!delegate)
        return;
    if (event == WEBKIT_LOAD_COMMITTED)
        delegate->didFailNavigation(*this, failure);
    else
        delegate->didFailProvisionalNavigation(*this, failure);
}

void GtkWebView::loadDidTimeOut()
{
    m_loadTimedOut = true;
    // WebKit fails the load as cancelled (or, once committed, may finish it); either is reported as the
    // timeout.
    webkit_web_view_stop_loading(m_widget.get());
}

void GtkWebView::setAllowsBackForwardNavigationGestures(bool allows)
{
    auto* settings = webkit_web_view_get_settings(m_widget.get());
    webkit_settings_set_enable_back_forward_navigation_gestures(settings, allows);
}

void GtkWebView::load(const UrlRequest& request)
{
    // WebKitGTK requests carry no timeout or cache policy: its own default cache policy applies, and
    // every load gets the web view's timeout.
    auto uriRequest = GRef<WebKitURIRequest>::adopt(webkit_uri_request_new(request.url.absoluteString.c_str()));
    webkit_web_view_load_request(m_widget.get(), uriRequest.get());
}

void GtkWebView::reload() { webkit_web_view_reload(m_widget.get()); }

void GtkWebView::evaluateJavaScript(const std::string& source)
{
    webkit_web_view_evaluate_javascript(
        m_widget.get(), source.c_str(), -1, nullptr, nullptr, nullptr, nullptr, nullptr);
}

void GtkWebView::callAsyncJavaScript(const std::string& functionBody, Value::Object arguments, ContentWorld world,
    CompletionHandler<void(Result<Value>)> completion)
{
    auto prologue = unpackingPrologue(arguments);
    if (!prologue) {
        completion(Error::platform("JavaScript の引数名が不正です"));
        return;
    }
    std::string packed = Value(std::move(arguments)).toJSON();
    GVariantBuilder builder;
    g_variant_builder_init(&builder, G_VARIANT_TYPE("a{sv}"));
    g_variant_builder_add(&builder, "{sv}", "__norlaArguments", g_variant_new_string(packed.c_str()));
    auto variant = GRef<GVariant>::retain(g_variant_builder_end(&builder));
    std::string body = *prologue + functionBody;
    auto call = std::make_unique<ScriptCall>(ScriptCall { std::move(completion) });
    webkit_web_view_call_async_javascript_function(m_widget.get(), body.c_str(), -1, variant.get(),
        world == ContentWorld::page ? nullptr : "norla-client", nullptr, nullptr, &didCallScript, call.release());
}

std::optional<Url> GtkWebView::url() const
{
    const char* uri = webkit_web_view_get_uri(m_widget.get());
    if (!uri || !*uri)
        return std::nullopt;
    return GUriParser().parseSerialized(uri);
}

bool GtkWebView::isInWindow() const { return gtk_widget_get_root(GTK_WIDGET(m_widget.get())) != nullptr; }

bool GtkWebView::isWindowKey() const
{
    auto* root = gtk_widget_get_root(GTK_WIDGET(m_widget.get()));
    return root && GTK_IS_WINDOW(root) && gtk_window_is_active(GTK_WINDOW(root));
}

} // namespace norla
