#pragma once

#include "platform/Clock.h"
#include "platform/CompletionHandler.h"
#include "platform/Result.h"
#include "platform/Url.h"
#include "platform/Value.h"

#include <memory>
#include <optional>
#include <string>

namespace norla {

class NavigationDelegate;
class UIDelegate;
class ScriptMessageHandlerWithReply;
class UrlSchemeHandler;

// The content world a script or a message handler lives in. The bridge uses the page's own world.
enum class ContentWorld { page, defaultClient };

enum class UserScriptInjectionTime { atDocumentStart, atDocumentEnd };

// `WKUserScript`.
struct UserScript {
    std::string source;
    UserScriptInjectionTime injectionTime = UserScriptInjectionTime::atDocumentStart;
    bool forMainFrameOnly = true;
};

enum class UrlRequestCachePolicy { useProtocolCachePolicy, reloadIgnoringLocalCacheData };

// `URLRequest`: what a web view loads.
struct UrlRequest {
    Url url;
    UrlRequestCachePolicy cachePolicy = UrlRequestCachePolicy::useProtocolCachePolicy;
    Duration timeoutInterval = seconds(60);
};

// Media types that need a user action before they play (`WKAudiovisualMediaTypes`).
enum class AudiovisualMediaTypes { none, audio, video, all };

// `WKWebViewConfiguration` with its user content controller: what a web view is built with. The
// steps are recorded in the order they are made; add handlers and scripts in the order they should run.
class WebViewConfiguration {
public:
    virtual ~WebViewConfiguration() = default;
    // The default, persistent website data store: cookies and storage survive restarts.
    virtual void useDefaultWebsiteDataStore() = 0;
    virtual void setAllowsInlineMediaPlayback(bool allows) = 0;
    virtual void setMediaTypesRequiringUserActionForPlayback(AudiovisualMediaTypes types) = 0;
    virtual void setURLSchemeHandler(std::shared_ptr<UrlSchemeHandler> handler, std::string scheme) = 0;
    // `addScriptMessageHandler:contentWorld:name:` of the user content controller: the handler is held
    // weakly here (the platform retains it; our coordinators own their own lifetime).
    virtual void addScriptMessageHandlerWithReply(
        std::weak_ptr<ScriptMessageHandlerWithReply> handler, ContentWorld world, std::string name)
        = 0;
    virtual void addUserScript(UserScript script) = 0;
    // Appended by the platform to its default user agent.
    virtual void setApplicationNameForUserAgent(std::string name) = 0;
};

// `WKWebView`. Used on the main thread only. The platform's view hierarchy owns it; others hold it weakly.
class WebView {
public:
    virtual ~WebView() = default;

    virtual void setNavigationDelegate(std::weak_ptr<NavigationDelegate> delegate) = 0;
    virtual void setUIDelegate(std::weak_ptr<UIDelegate> delegate) = 0;
    virtual void setAllowsBackForwardNavigationGestures(bool allows) = 0;

    virtual void load(const UrlRequest& request) = 0;
    virtual void reload() = 0;
    // Runs script in the main frame, in the page's world; the result and errors are dropped.
    virtual void evaluateJavaScript(const std::string& source) = 0;
    // `callAsyncJavaScript:arguments:inFrame:inContentWorld:completionHandler:` in the main frame: the
    // body of an async function whose arguments are bound by name. The completion runs once, on the main
    // thread, with the function's (JSON-shaped) result or the script's error.
    virtual void callAsyncJavaScript(const std::string& functionBody, Value::Object arguments, ContentWorld world,
        CompletionHandler<void(Result<Value>)> completion)
        = 0;

    // The URL of the page shown (or being loaded), if any.
    virtual std::optional<Url> url() const = 0;
    // Whether the view is in a window, and whether that window is the key window.
    virtual bool isInWindow() const = 0;
    virtual bool isWindowKey() const = 0;
};

// Creates configurations and web views (`[WKWebViewConfiguration new]`, `initWithFrame:configuration:`
// with a zero frame). Installed by the composition root.
class WebViewFactory {
public:
    virtual ~WebViewFactory() = default;
    virtual std::unique_ptr<WebViewConfiguration> makeConfiguration() = 0;
    virtual std::shared_ptr<WebView> makeWebView(std::unique_ptr<WebViewConfiguration> configuration) = 0;
};

} // namespace norla
