#pragma once

#include "foundation/GRef.h"
#include "web/WebView.h"

#include <webkit/webkit.h>

#include <filesystem>

namespace norla {

// Makes WebKitGTK configurations and web views. Web views built with the default website data store
// share one persistent network session, whose cookies, local storage and cache live under the
// application's data and cache directories; the others get an ephemeral session each.
class WebKitWebViewFactory final : public WebViewFactory {
public:
    // `$XDG_DATA_HOME/norla-office/webkit` and `$XDG_CACHE_HOME/norla-office/webkit` by default. A load
    // that has not finished after `loadTimeout` is stopped and fails (requests' own timeouts are not
    // something WebKitGTK knows).
    explicit WebKitWebViewFactory(std::filesystem::path dataDirectory = defaultDataDirectory(),
        std::filesystem::path cacheDirectory = defaultCacheDirectory(), Duration loadTimeout = seconds(60));

    static std::filesystem::path defaultDataDirectory();
    static std::filesystem::path defaultCacheDirectory();

    std::unique_ptr<WebViewConfiguration> makeConfiguration() override;
    std::shared_ptr<WebView> makeWebView(std::unique_ptr<WebViewConfiguration> configuration) override;

    WebKitNetworkSession* persistentSession();

private:
    std::filesystem::path m_dataDirectory;
    std::filesystem::path m_cacheDirectory;
    Duration m_loadTimeout;
    GRef<WebKitNetworkSession> m_persistentSession;
};

} // namespace norla
