#pragma once

#include "platform/NotificationCenter.h"
#include "platform/PassKey.h"
#include "platform/Url.h"
#include "web/NavigationDelegate.h"
#include "web/OfficeWebView.h"
#include "web/ScriptMessage.h"
#include "web/UIDelegate.h"

#include <memory>

namespace norla {

// The web view host's single point of contact with the rest of the program: answers the page's bridge
// messages, decides navigations and media-capture permission, and acts on the in-process notifications
// by which menus and controllers ask the page to do something. Lives on the main thread.
class OfficeWebView::Coordinator final : public ScriptMessageHandlerWithReply,
                                         public NavigationDelegate,
                                         public UIDelegate,
                                         public std::enable_shared_from_this<OfficeWebView::Coordinator> {
public:
    // Stores the URL and registers the five observers.
    static std::shared_ptr<Coordinator> make(Url appURL);
    Coordinator(PassKey<Coordinator>, Url appURL)
        : m_appURL(std::move(appURL))
    {
    }
    ~Coordinator() override;
    Coordinator(const Coordinator&) = delete;
    Coordinator& operator=(const Coordinator&) = delete;

    const Url& appURL() const { return m_appURL; }
    std::shared_ptr<WebView> webView() const { return m_webView.lock(); }
    void setWebView(const std::shared_ptr<WebView>& webView) { m_webView = webView; }

    // Whether this coordinator's window is the one menu commands act on.
    bool isFrontmost() const;
    // Loads the URL with the default cache policy and a 60-second timeout; nothing when the view is gone.
    void load(const Url& url);

    void didReceiveScriptMessage(ScriptMessage message, BridgeReply reply) override;
    void decidePolicyForNavigationAction(WebView& webView, const NavigationAction& action,
        CompletionHandler<void(NavigationActionPolicy)> decisionHandler) override;
    void requestMediaCapturePermission(WebView& webView, const SecurityOrigin& origin, const FrameInfo& frame,
        MediaCaptureType type, CompletionHandler<void(PermissionDecision)> decisionHandler) override;
    void didFinishNavigation(WebView& webView) override;
    void didFailProvisionalNavigation(WebView& webView, const NavigationError& error) override;
    void didFailNavigation(WebView& webView, const NavigationError& error) override;

private:
    void registerObservers();
    void openInternalURL(const Notification& notification);
    void reload();
    void evaluate(const Notification& notification);
    void openPath(const Notification& notification);
    void syncPushRegistration();
    void recoverFromFailedSignIn(const WebView& webView, const NavigationError& error);

    Url m_appURL;
    std::weak_ptr<WebView> m_webView;
    ObserverToken m_openURLObserver;
    ObserverToken m_tokenObserver;
    ObserverToken m_reloadObserver;
    ObserverToken m_evaluateObserver;
    ObserverToken m_openPathObserver;
};

} // namespace norla
