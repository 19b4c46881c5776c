#include "web/WebKitWebViewFactory.h"

#include "web/GtkWebView.h"
#include "web/WebKitConfiguration.h"

#include <glib.h>

#include <stdexcept>

namespace norla {

WebKitWebViewFactory::WebKitWebViewFactory(
    std::filesystem::path dataDirectory, std::filesystem::path cacheDirectory, Duration loadTimeout)
    : m_dataDirectory(std::move(dataDirectory))
    , m_cacheDirectory(std::move(cacheDirectory))
    , m_loadTimeout(loadTimeout)
{
}

std::filesystem::path WebKitWebViewFactory::defaultDataDirectory()
{
    return std::filesystem::path(g_get_user_data_dir()) / "norla-office" / "webkit";
}

std::filesystem::path WebKitWebViewFactory::defaultCacheDirectory()
{
    return std::filesystem::path(g_get_user_cache_dir()) / "norla-office" / "webkit";
}

std::unique_ptr<WebViewConfiguration> WebKitWebViewFactory::makeConfiguration()
{
    return std::make_unique<WebKitConfiguration>();
}

WebKitNetworkSession* WebKitWebViewFactory::persistentSession()
{
    if (!m_persistentSession) {
        m_persistentSession = GRef<WebKitNetworkSession>::adopt(
            webkit_network_session_new(m_dataDirectory.c_str(), m_cacheDirectory.c_str()));
        // Without this WebKitGTK keeps cookies in memory only, and every launch would sign out.
        g_mkdir_with_parents(m_dataDirectory.c_str(), 0700);
        auto cookies = m_dataDirectory / "cookies.sqlite";
        webkit_cookie_manager_set_persistent_storage(
            webkit_network_session_get_cookie_manager(m_persistentSession.get()), cookies.c_str(),
            WEBKIT_COOKIE_PERSISTENT_STORAGE_SQLITE);
    }
    return m_persistentSession.get();
}

std::shared_ptr<WebView> WebKitWebViewFactory::makeWebView(std::unique_ptr<WebViewConfiguration> configuration)
{
    auto* webKitConfiguration = dynamic_cast<WebKitConfiguration*>(configuration.get());
    if (!webKitConfiguration)
        throw std::logic_error("WebKitWebViewFactory: a configuration from another factory");
    if (webKitConfiguration->usesPersistentDataStore())
        return std::make_shared<GtkWebView>(*webKitConfiguration, persistentSession(), m_loadTimeout);
    auto ephemeral = GRef<WebKitNetworkSession>::adopt(webkit_network_session_new_ephemeral());
    return std::make_shared<GtkWebView>(*webKitConfiguration, ephemeral.get(), m_loadTimeout);
}

} // namespace norla
