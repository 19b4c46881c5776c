#pragma once

#include "platform/CompletionHandler.h"
#include "platform/Error.h"
#include "platform/Url.h"

#include <optional>

namespace norla {

class WebView;

// `WKNavigationAction`: what the policy sees of a navigation.
struct NavigationAction {
    std::optional<Url> requestURL; // the request's URL, when it has one that parses
    bool requestURLUnparsable = false; // the request has a URL, but it does not parse
};

enum class NavigationActionPolicy { cancel, allow };

// A failed load: the platform's error and the URL it reports as failing, when that is a URL.
struct NavigationError {
    Error error;
    std::optional<Url> failingURL;
};

// The navigation delegate (`WKNavigationDelegate`), held weakly by the web view. Called on the main thread.
class NavigationDelegate {
public:
    virtual ~NavigationDelegate() = default;
    // The handler must be called exactly once.
    virtual void decidePolicyForNavigationAction(WebView& webView, const NavigationAction& action,
        CompletionHandler<void(NavigationActionPolicy)> decisionHandler)
        = 0;
    virtual void didFinishNavigation(WebView& webView) = 0;
    virtual void didFailProvisionalNavigation(WebView& webView, const NavigationError& error) = 0;
    virtual void didFailNavigation(WebView& webView, const NavigationError& error) = 0;
};

} // namespace norla
