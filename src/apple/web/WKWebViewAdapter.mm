#include "web/WKWebViewAdapter.h"

#include "foundation/FoundationConversions.h"
#include "web/NorlaNavigationDelegate.h"
#include "web/NorlaUIDelegate.h"

#include <memory>

namespace norla {

WKContentWorld* toContentWorld(ContentWorld world)
{
    return world == ContentWorld::page ? WKContentWorld.pageWorld : WKContentWorld.defaultClientWorld;
}

WKWebViewAdapter::WKWebViewAdapter(WKWebView* webView)
    : m_webView(webView)
{
}

WKWebViewAdapter::~WKWebViewAdapter()
{
    // Only what this adapter attached: a passing adapter (a scheme task's) leaves the delegates alone.
    if (m_navigationDelegate)
        m_webView.navigationDelegate = nil;
    if (m_uiDelegate)
        m_webView.UIDelegate = nil;
}

void WKWebViewAdapter::setNavigationDelegate(std::weak_ptr<NavigationDelegate> delegate)
{
    m_navigationDelegate = [[NorlaNavigationDelegate alloc] initWithDelegate:std::move(delegate) webView:*this];
    m_webView.navigationDelegate = m_navigationDelegate;
}

void WKWebViewAdapter::setUIDelegate(std::weak_ptr<UIDelegate> delegate)
{
    m_uiDelegate = [[NorlaUIDelegate alloc] initWithDelegate:std::move(delegate) webView:*this];
    m_webView.UIDelegate = m_uiDelegate;
}

void WKWebViewAdapter::setAllowsBackForwardNavigationGestures(bool allows)
{
    m_webView.allowsBackForwardNavigationGestures = allows ? YES : NO;
}

void WKWebViewAdapter::load(const UrlRequest& request)
{
    NSURL* url = toNSURL(request.url);
    if (!url)
        return;
    auto policy = request.cachePolicy == UrlRequestCachePolicy::reloadIgnoringLocalCacheData
        ? NSURLRequestReloadIgnoringLocalCacheData
        : NSURLRequestUseProtocolCachePolicy;
    [m_webView loadRequest:[NSURLRequest requestWithURL:url
                                            cachePolicy:policy
                                        timeoutInterval:toSeconds(request.timeoutInterval)]];
}

void WKWebViewAdapter::reload() { [m_webView reload]; }

void WKWebViewAdapter::evaluateJavaScript(const std::string& source)
{
    [m_webView evaluateJavaScript:toNSString(source) completionHandler:nil];
}

void WKWebViewAdapter::callAsyncJavaScript(const std::string& functionBody, Value::Object arguments, ContentWorld world,
    CompletionHandler<void(Result<Value>)> completion)
{
    auto pending = std::make_shared<CompletionHandler<void(Result<Value>)>>(std::move(completion));
    NSDictionary<NSString*, id>* objects = toObject(Value(std::move(arguments)));
    // A nil frame is the main frame; WebKit answers on the main thread.
    [m_webView callAsyncJavaScript:toNSString(functionBody)
                         arguments:objects
                           inFrame:nil
                    inContentWorld:toContentWorld(world)
                 completionHandler:^(id _Nullable result, NSError* _Nullable error) {
                     if (error)
                         (*pending)(toError(error));
                     else
                         (*pending)(toValue(result));
                 }];
}

std::optional<Url> WKWebViewAdapter::url() const { return toUrl(m_webView.URL); }

bool WKWebViewAdapter::isInWindow() const { return m_webView.window != nil; }

bool WKWebViewAdapter::isWindowKey() const { return m_webView.window.isKeyWindow == YES; }

} // namespace norla
