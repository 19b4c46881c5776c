#pragma once

#include "foundation/GRef.h"
#include "foundation/GUniquePtr.h"
#include "foundation/SignalConnection.h"
#include "web/NavigationDelegate.h"
#include "web/PageOrigins.h"
#include "web/ScriptMessageBridge.h"
#include "web/WebView.h"

#include <gtk/gtk.h>
#include <webkit/webkit.h>

#include <memory>
#include <vector>

namespace norla {

class WebKitConfiguration;

// The core's web view on WebKitGTK: one WebKitWebView widget, its delegates and its message bridge.
// Lives on the main thread; the window that shows the widget owns this object.
class GtkWebView final : public WebView {
public:
    GtkWebView(WebKitConfiguration& configuration, WebKitNetworkSession* session, Duration loadTimeout = seconds(60));
    ~GtkWebView() override;
    GtkWebView(const GtkWebView&) = delete;
    GtkWebView& operator=(const GtkWebView&) = delete;

    // The host of a WebKitWebView widget made here, or null.
    static GtkWebView* fromWidget(WebKitWebView* widget);

    WebKitWebView* widget() const { return m_widget.get(); }

    void setNavigationDelegate(std::weak_ptr<NavigationDelegate> delegate) override
    {
        m_navigationDelegate = std::move(delegate);
    }
    void setUIDelegate(std::weak_ptr<UIDelegate> delegate) override { m_uiDelegate = std::move(delegate); }
    void setAllowsBackForwardNavigationGestures(bool allows) override;

    void load(const UrlRequest& request) override;
    void reload() override;
    void evaluateJavaScript(const std::string& source) override;
    void callAsyncJavaScript(const std::string& functionBody, Value::Object arguments, ContentWorld world,
        CompletionHandler<void(Result<Value>)> completion) override;

    std::optional<Url> url() const override;
    bool isInWindow() const override;
    bool isWindowKey() const override;

private:
    void connectSignals();
    gboolean decidePolicy(WebKitPolicyDecision* decision, WebKitPolicyDecisionType type);
    gboolean permissionRequest(WebKitPermissionRequest* request);
    void loadChanged(WebKitLoadEvent event);
    gboolean loadFailed(WebKitLoadEvent event, const char* failingURI, GError* error);
    void reportFailure(WebKitLoadEvent event, NavigationError failure);
    void loadDidTimeOut();

    GRef<WebKitWebView> m_widget;
    std::unique_ptr<ScriptMessageBridge> m_bridge;
    std::weak_ptr<NavigationDelegate> m_navigationDelegate;
    std::weak_ptr<UIDelegate> m_uiDelegate;
    bool m_currentLoadFailed = false;
    PageOrigins m_origins;
    Duration m_loadTimeout;
    GUniquePtr<GSource> m_loadTimer; // while a load runs
    bool m_loadTimedOut = false;
    std::vector<SignalConnection> m_connections;
};

} // namespace norla
