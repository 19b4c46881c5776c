#pragma once

#include "web/NavigationDelegate.h"
#include "web/ScriptMessage.h"
#include "web/UIDelegate.h"
#include "web/UrlSchemeHandler.h"
#include "web/WebView.h"

#include <memory>
#include <string>
#include <vector>

namespace norla::test {

// A configuration that keeps the scheme, handlers and scripts it was given, in order.
class FakeWebViewConfiguration final : public WebViewConfiguration {
public:
    void useDefaultWebsiteDataStore() override { }
    void setAllowsInlineMediaPlayback(bool) override { }
    void setMediaTypesRequiringUserActionForPlayback(AudiovisualMediaTypes) override { }
    void setURLSchemeHandler(std::shared_ptr<UrlSchemeHandler>, std::string scheme) override
    {
        schemes.push_back(std::move(scheme));
    }
    void addScriptMessageHandlerWithReply(
        std::weak_ptr<ScriptMessageHandlerWithReply> handler, ContentWorld, std::string name) override
    {
        messageHandlers.emplace_back(std::move(name), std::move(handler));
    }
    void addUserScript(UserScript script) override { userScripts.push_back(std::move(script)); }
    void setApplicationNameForUserAgent(std::string) override { }

    std::vector<std::string> schemes;
    std::vector<UserScript> userScripts;
    std::vector<std::pair<std::string, std::weak_ptr<ScriptMessageHandlerWithReply>>> messageHandlers;
};

// A web view that records what it was asked to do. Tests set its window state and current URL.
class FakeWebView final : public WebView {
public:
    explicit FakeWebView(std::unique_ptr<FakeWebViewConfiguration> builtWith = nullptr)
        : configuration(std::move(builtWith))
    {
    }

    void setNavigationDelegate(std::weak_ptr<NavigationDelegate> delegate) override { navigationDelegate = delegate; }
    void setUIDelegate(std::weak_ptr<UIDelegate> delegate) override { uiDelegate = delegate; }
    void setAllowsBackForwardNavigationGestures(bool) override { }

    void load(const UrlRequest& request) override { loads.push_back(request); }
    void reload() override { ++reloadCount; }
    void evaluateJavaScript(const std::string& source) override { evaluatedScripts.push_back(source); }
    void callAsyncJavaScript(const std::string&, Value::Object arguments, ContentWorld world,
        CompletionHandler<void(Result<Value>)> completion) override
    {
        asyncCalls.push_back({ std::move(arguments), world, std::move(completion) });
    }

    std::optional<Url> url() const override { return currentURL; }
    bool isInWindow() const override { return inWindow; }
    bool isWindowKey() const override { return windowKey; }

    // The absolute strings of everything loaded, in order.
    std::vector<std::string> loadedURLs() const
    {
        std::vector<std::string> urls;
        for (const auto& request : loads)
            urls.push_back(request.url.absoluteString);
        return urls;
    }

    std::unique_ptr<FakeWebViewConfiguration> configuration;
    std::weak_ptr<NavigationDelegate> navigationDelegate;
    std::weak_ptr<UIDelegate> uiDelegate;
    std::vector<UrlRequest> loads;
    int reloadCount = 0;
    std::vector<std::string> evaluatedScripts;
    std::optional<Url> currentURL;
    bool inWindow = true;
    bool windowKey = false;
    // Script calls wait here until the test completes them.
    struct AsyncCall {
        Value::Object arguments;
        ContentWorld world;
        CompletionHandler<void(Result<Value>)> completion;
    };
    std::vector<AsyncCall> asyncCalls;
};

// Builds FakeWebViews that keep the configuration they were built with.
class FakeWebViewFactory final : public WebViewFactory {
public:
    std::unique_ptr<WebViewConfiguration> makeConfiguration() override
    {
        return std::make_unique<FakeWebViewConfiguration>();
    }
    std::shared_ptr<WebView> makeWebView(std::unique_ptr<WebViewConfiguration> configuration) override
    {
        return std::make_shared<FakeWebView>(
            std::unique_ptr<FakeWebViewConfiguration>(static_cast<FakeWebViewConfiguration*>(configuration.release())));
    }
};

} // namespace norla::test
