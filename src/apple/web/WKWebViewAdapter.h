#pragma once

#include "web/WebView.h"

#import <WebKit/WebKit.h>

@class NorlaNavigationDelegate;
@class NorlaUIDelegate;

NS_ASSUME_NONNULL_BEGIN

namespace norla {

// A `WKWebView` as the core's web view. It keeps the delegate objects alive (the web view holds its
// delegates weakly) and detaches them when it goes. Main thread only.
class WKWebViewAdapter final : public WebView {
public:
    explicit WKWebViewAdapter(WKWebView* webView);
    ~WKWebViewAdapter() override;
    WKWebViewAdapter(const WKWebViewAdapter&) = delete;
    WKWebViewAdapter& operator=(const WKWebViewAdapter&) = delete;

    void setNavigationDelegate(std::weak_ptr<NavigationDelegate> delegate) override;
    void setUIDelegate(std::weak_ptr<UIDelegate> delegate) override;
    void setAllowsBackForwardNavigationGestures(bool allows) override;
    void load(const UrlRequest& request) override;
    void reload() override;
    void evaluateJavaScript(const std::string& source) override;
    void callAsyncJavaScript(const std::string& functionBody, Value::Object arguments, ContentWorld world,
        CompletionHandler<void(Result<Value>)> completion) override;
    std::optional<Url> url() const override;
    bool isInWindow() const override;
    bool isWindowKey() const override;

    WKWebView* webView() const { return m_webView; }

private:
    WKWebView* m_webView;
    NorlaNavigationDelegate* _Nullable m_navigationDelegate = nil;
    NorlaUIDelegate* _Nullable m_uiDelegate = nil;
};

WKContentWorld* toContentWorld(ContentWorld world);

} // namespace norla

NS_ASSUME_NONNULL_END
