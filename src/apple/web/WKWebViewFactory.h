#pragma once

#include "web/WebView.h"

#import <WebKit/WebKit.h>

NS_ASSUME_NONNULL_BEGIN

namespace norla {

// A `WKWebViewConfiguration` with its user content controller, filled in the order the core makes its
// steps. Main thread only.
class WKConfigurationAdapter final : public WebViewConfiguration {
public:
    WKConfigurationAdapter();

    void useDefaultWebsiteDataStore() override;
    void setAllowsInlineMediaPlayback(bool allows) override;
    void setMediaTypesRequiringUserActionForPlayback(AudiovisualMediaTypes types) override;
    void setURLSchemeHandler(std::shared_ptr<UrlSchemeHandler> handler, std::string scheme) override;
    void addScriptMessageHandlerWithReply(
        std::weak_ptr<ScriptMessageHandlerWithReply> handler, ContentWorld world, std::string name) override;
    void addUserScript(UserScript script) override;
    void setApplicationNameForUserAgent(std::string name) override;

    WKWebViewConfiguration* configuration() const { return m_configuration; }

private:
    WKWebViewConfiguration* m_configuration;
};

// Builds configurations and `WKWebView`s with a zero frame (the window's layout sizes them).
class WKWebViewFactory final : public WebViewFactory {
public:
    std::unique_ptr<WebViewConfiguration> makeConfiguration() override;
    std::shared_ptr<WebView> makeWebView(std::unique_ptr<WebViewConfiguration> configuration) override;
};

} // namespace norla

NS_ASSUME_NONNULL_END
