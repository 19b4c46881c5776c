#pragma once

#include "platform/CompletionHandler.h"
#include "platform/Url.h"

#include <memory>
#include <string>

namespace norla {

class WebView;

// The native OAuth session (`NativeOAuth.run(url:callbackHost:callbackPath:webView:appURL:)`): shows the
// sign-in sheet and answers "ok", "cancelled" or "error". Installed through Seam<NativeOAuthService>.
// Called on the main thread; the completion runs once, on the main thread.
class NativeOAuthService {
public:
    virtual ~NativeOAuthService() = default;
    virtual void run(const Url& url, const std::string& callbackHost, const std::string& callbackPath,
        std::shared_ptr<WebView> webView, const Url& appURL, CompletionHandler<void(std::string word)> completion)
        = 0;
};

} // namespace norla
