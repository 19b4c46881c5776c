#include "web/OfficeWebView.h"

#include "desktop/PushNotificationsService.h"
#include "platform/Seams.h"
#include "platform/SystemLog.h"
#include "web/BootstrapScripts.h"
#include "web/BridgeDispatcher.h"
#include "web/CoordinatorRegistry.h"
#include "web/OfficeWebViewCoordinator.h"
#include "web/RecordingSchemeHandlerFactory.h"
#include "web/WebView.h"

namespace norla {

std::string originString(const Url& url)
{
    if (url.scheme.empty() || !url.host)
        return url.absoluteString;
    // The parser stores IPv6 literals without their brackets; the page's origin has them.
    bool literal = url.host->find(':') != std::string::npos;
    std::string origin = url.scheme + "://" + (literal ? "[" + *url.host + "]" : *url.host);
    if (url.port)
        origin += ":" + std::to_string(*url.port);
    return origin;
}

std::shared_ptr<OfficeWebView::Coordinator> OfficeWebView::makeCoordinator() const
{
    return Coordinator::make(m_appURL);
}

std::shared_ptr<WebView> OfficeWebView::makeWebView(const std::shared_ptr<Coordinator>& coordinator) const
{
    auto factory = seam<WebViewFactory>();
    auto configuration = factory->makeConfiguration();
    configuration->useDefaultWebsiteDataStore();
    configuration->setAllowsInlineMediaPlayback(true);
    configuration->setMediaTypesRequiringUserActionForPlayback(AudiovisualMediaTypes::none);
    if (auto schemeHandlers = Seam<RecordingSchemeHandlerFactory>::find())
        configuration->setURLSchemeHandler(schemeHandlers->makeHandler(), std::string(recordingURLScheme));
    else
        logLine("OfficeWebView: 録音ファイルを読む仕組みがないため norla-rec を登録しません");

    // The recorder's handler and script come first, so the recorder script runs before the shell script.
    auto origin = originString(coordinator->appURL());
    configuration->addScriptMessageHandlerWithReply(
        coordinator, ContentWorld::page, std::string(BridgeDispatcher::recorderHandlerName));
    configuration->addUserScript({ recorderBootstrapScript(origin), UserScriptInjectionTime::atDocumentStart, true });
    configuration->addScriptMessageHandlerWithReply(
        coordinator, ContentWorld::page, std::string(BridgeDispatcher::shellHandlerName));
    configuration->addUserScript({ shellBootstrapScript(origin), UserScriptInjectionTime::atDocumentStart, true });
    configuration->setApplicationNameForUserAgent(std::string(applicationNameForUserAgent));

    auto webView = factory->makeWebView(std::move(configuration));
    webView->setNavigationDelegate(coordinator);
    webView->setUIDelegate(coordinator);
    webView->setAllowsBackForwardNavigationGestures(true);

    coordinator->setWebView(webView);
    CoordinatorRegistry::shared().add(coordinator);

    std::optional<Url> pending;
    if (auto push = Seam<PushNotificationsService>::find())
        pending = push->takePendingOpenURL();
    coordinator->load(pending ? *pending : coordinator->appURL());
    return webView;
}

} // namespace norla
