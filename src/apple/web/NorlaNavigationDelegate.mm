#include "web/NorlaNavigationDelegate.h"

#include "foundation/FoundationConversions.h"

#include <memory>

using namespace norla;

namespace {

NavigationError navigationError(NSError* error)
{
    id failing = error.userInfo[NSURLErrorFailingURLErrorKey];
    std::optional<Url> failingURL;
    if ([failing isKindOfClass:[NSURL class]])
        failingURL = toUrl((NSURL*)failing);
    return { toError(error), std::move(failingURL) };
}

} // namespace

@implementation NorlaNavigationDelegate {
    std::weak_ptr<NavigationDelegate> _delegate;
    // The adapter owns this object and outlives it.
    WebView* _webView;
}

- (instancetype)initWithDelegate:(std::weak_ptr<NavigationDelegate>)delegate webView:(WebView&)webView
{
    if ((self = [super init])) {
        _delegate = std::move(delegate);
        _webView = &webView;
    }
    return self;
}

- (void)webView:(WKWebView*)webView
    decidePolicyForNavigationAction:(WKNavigationAction*)navigationAction
                    decisionHandler:(void (^)(WKNavigationActionPolicy))decisionHandler
{
    auto delegate = _delegate.lock();
    if (!delegate) {
        decisionHandler(WKNavigationActionPolicyAllow);
        return;
    }
    NavigationAction action { toUrl(navigationAction.request.URL) };
    delegate->decidePolicyForNavigationAction(*_webView, action, [decisionHandler](NavigationActionPolicy policy) {
        decisionHandler(
            policy == NavigationActionPolicy::allow ? WKNavigationActionPolicyAllow : WKNavigationActionPolicyCancel);
    });
}

- (void)webView:(WKWebView*)webView didFinishNavigation:(null_unspecified WKNavigation*)navigation
{
    if (auto delegate = _delegate.lock())
        delegate->didFinishNavigation(*_webView);
}

- (void)webView:(WKWebView*)webView
    didFailProvisionalNavigation:(null_unspecified WKNavigation*)navigation
                       withError:(NSError*)error
{
    if (auto delegate = _delegate.lock())
        delegate->didFailProvisionalNavigation(*_webView, navigationError(error));
}

- (void)webView:(WKWebView*)webView
    didFailNavigation:(null_unspecified WKNavigation*)navigation
            withError:(NSError*)error
{
    if (auto delegate = _delegate.lock())
        delegate->didFailNavigation(*_webView, navigationError(error));
}

@end
