#include "web/OfficeWebViewCoordinator.h"

#include "desktop/PushNotificationsService.h"
#include "platform/MainExecutor.h"
#include "platform/Seams.h"
#include "platform/SystemLog.h"
#include "platform/UrlOpener.h"
#include "web/BridgeDispatcher.h"
#include "web/CoordinatorRegistry.h"
#include "web/NavigationPolicy.h"
#include "web/OfficeNotifications.h"
#include "web/WebView.h"

#include <functional>

namespace norla {

namespace {

    void loadRequest(const std::shared_ptr<WebView>& webView, const Url& url)
    {
        if (webView)
            webView->load(UrlRequest { url, UrlRequestCachePolicy::useProtocolCachePolicy, seconds(60) });
    }

    // An application path from a menu: absolute, and nothing that could leave the application's origin
    // or break out of a string.
    bool isAcceptablePath(const std::string& path)
    {
        return path.starts_with('/') && path.find("//") == std::string::npos && path.find('\\') == std::string::npos
            && path.find('"') == std::string::npos;
    }

    template <class T> const T* objectAs(const Notification& notification)
    {
        return std::any_cast<T>(&notification.object);
    }

} // namespace

std::shared_ptr<OfficeWebView::Coordinator> OfficeWebView::Coordinator::make(Url appURL)
{
    auto coordinator = std::make_shared<Coordinator>(PassKey<Coordinator> {}, std::move(appURL));
    coordinator->registerObservers();
    return coordinator;
}

OfficeWebView::Coordinator::~Coordinator()
{
    auto& center = NotificationCenter::defaultCenter();
    for (auto* token :
        { &m_openURLObserver, &m_tokenObserver, &m_reloadObserver, &m_evaluateObserver, &m_openPathObserver }) {
        if (*token)
            center.removeObserver(*token);
    }
}

void OfficeWebView::Coordinator::registerObservers()
{
    auto& center = NotificationCenter::defaultCenter();
    std::weak_ptr<Coordinator> weakSelf = shared_from_this();
    // Each observer holds the coordinator weakly: a freed coordinator's late delivery does nothing.
    auto observe = [&](std::string_view name, auto action) {
        return center.addObserver(std::string(name), [weakSelf, action](const Notification& notification) {
            if (auto self = weakSelf.lock())
                std::invoke(action, *self, notification);
        });
    };
    m_openURLObserver = observe(officeOpenInternalURL, &Coordinator::openInternalURL);
    m_reloadObserver = observe(officeReload, [](Coordinator& self, const Notification&) { self.reload(); });
    m_evaluateObserver = observe(officeEvaluate, &Coordinator::evaluate);
    m_openPathObserver = observe(officeOpenPath, &Coordinator::openPath);
    m_tokenObserver
        = observe(officeAPNsTokenReady, [](Coordinator& self, const Notification&) { self.syncPushRegistration(); });
}

bool OfficeWebView::Coordinator::isFrontmost() const
{
    std::shared_ptr<Coordinator> first;
    for (auto& coordinator : CoordinatorRegistry::shared().liveCoordinators()) {
        auto webView = coordinator->webView();
        if (!webView || !webView->isInWindow())
            continue;
        if (webView->isWindowKey())
            return coordinator.get() == this;
        if (!first)
            first = coordinator;
    }
    return !first || first.get() == this;
}

void OfficeWebView::Coordinator::load(const Url& url) { loadRequest(m_webView.lock(), url); }

void OfficeWebView::Coordinator::openInternalURL(const Notification& notification)
{
    const auto* url = objectAs<Url>(notification);
    if (!url || !isFrontmost())
        return;
    postToMain([weakSelf = weak_from_this(), url = *url] {
        if (auto push = Seam<PushNotificationsService>::find())
            push->clearPendingOpenURL();
        if (auto self = weakSelf.lock())
            self->load(url);
    });
}

void OfficeWebView::Coordinator::reload()
{
    if (!isFrontmost())
        return;
    if (auto webView = m_webView.lock())
        webView->reload();
}

void OfficeWebView::Coordinator::evaluate(const Notification& notification)
{
    const auto* script = objectAs<std::string>(notification);
    if (!script)
        return;
    const auto* frontOnly = notification.userInfo.find(frontOnlyKey);
    bool onlyFrontmost = frontOnly && frontOnly->asBool() && *frontOnly->asBool();
    if (onlyFrontmost && !isFrontmost())
        return;
    if (auto webView = m_webView.lock())
        webView->evaluateJavaScript(*script);
}

void OfficeWebView::Coordinator::openPath(const Notification& notification)
{
    if (!isFrontmost())
        return;
    const auto* path = objectAs<std::string>(notification);
    if (!path || !isAcceptablePath(*path))
        return;
    if (auto url = resolveUrl(m_appURL, *path))
        load(*url);
}

void OfficeWebView::Coordinator::syncPushRegistration()
{
    if (!m_webView.lock())
        return;
    postToMain([weakWebView = m_webView] {
        auto webView = weakWebView.lock();
        auto push = Seam<PushNotificationsService>::find();
        if (webView && push)
            push->syncWithPage(std::move(webView));
    });
}

void OfficeWebView::Coordinator::didReceiveScriptMessage(ScriptMessage message, BridgeReply reply)
{
    postToMain(
        [appURL = m_appURL, webView = m_webView, message = std::move(message), reply = std::move(reply)]() mutable {
            BridgeDispatcher::dispatch(appURL, std::move(webView), std::move(message), std::move(reply));
        });
}

void OfficeWebView::Coordinator::decidePolicyForNavigationAction(
    WebView&, const NavigationAction& action, CompletionHandler<void(NavigationActionPolicy)> decisionHandler)
{
    postToMain([action, decisionHandler = std::move(decisionHandler)]() mutable {
        const auto& url = action.requestURL;
        switch (decideNavigation(action)) {
        case NavigationDecision::allow:
            decisionHandler(NavigationActionPolicy::allow);
            return;
        case NavigationDecision::cancel:
            decisionHandler(NavigationActionPolicy::cancel);
            return;
        case NavigationDecision::openExternally:
            break;
        }
        auto opener = Seam<UrlOpener>::find();
        if (!opener) {
            logLine("OfficeWebView: URL を開く仕組みがありません: " + url->absoluteString);
            decisionHandler(NavigationActionPolicy::cancel);
            return;
        }
        // The page's navigation is cancelled only once the system has answered.
        opener->open(*url, [decisionHandler = std::move(decisionHandler)](bool) mutable {
            decisionHandler(NavigationActionPolicy::cancel);
        });
    });
}

void OfficeWebView::Coordinator::requestMediaCapturePermission(WebView&, const SecurityOrigin& origin, const FrameInfo&,
    MediaCaptureType, CompletionHandler<void(PermissionDecision)> decisionHandler)
{
    postToMain([origin, appURL = m_appURL, decisionHandler = std::move(decisionHandler)]() mutable {
        decisionHandler(decideMediaCapturePermission(origin, appURL));
    });
}

void OfficeWebView::Coordinator::didFinishNavigation(WebView&) { syncPushRegistration(); }

void OfficeWebView::Coordinator::didFailProvisionalNavigation(WebView& webView, const NavigationError& error)
{
    recoverFromFailedSignIn(webView, error);
}

void OfficeWebView::Coordinator::didFailNavigation(WebView& webView, const NavigationError& error)
{
    recoverFromFailedSignIn(webView, error);
}

void OfficeWebView::Coordinator::recoverFromFailedSignIn(const WebView& webView, const NavigationError& error)
{
    if (!isSignInFailure(error, webView.url()))
        return;
    postToMain([appURL = m_appURL, weakWebView = m_webView] {
        if (auto url = signInFailureURL(appURL))
            loadRequest(weakWebView.lock(), *url);
    });
}

} // namespace norla
