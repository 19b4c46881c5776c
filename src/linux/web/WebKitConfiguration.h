#pragma once

#include "foundation/GRef.h"
#include "web/ScriptMessageBridge.h"
#include "web/WebView.h"

#include <webkit/webkit.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace norla {

// A web view's configuration on WebKitGTK: its settings, its user content manager (scripts and
// message handlers, in the order they were added), its custom schemes and its network session.
class WebKitConfiguration final : public WebViewConfiguration {
public:
    WebKitConfiguration();

    void useDefaultWebsiteDataStore() override { m_persistentDataStore = true; }
    void setAllowsInlineMediaPlayback(bool allows) override;
    void setMediaTypesRequiringUserActionForPlayback(AudiovisualMediaTypes types) override;
    void setURLSchemeHandler(std::shared_ptr<UrlSchemeHandler> handler, std::string scheme) override;
    void addScriptMessageHandlerWithReply(
        std::weak_ptr<ScriptMessageHandlerWithReply> handler, ContentWorld world, std::string name) override;
    void addUserScript(UserScript script) override;
    void setApplicationNameForUserAgent(std::string name) override;

    bool usesPersistentDataStore() const { return m_persistentDataStore; }
    WebKitSettings* settings() const { return m_settings.get(); }
    WebKitUserContentManager* userContentManager() const { return m_contentManager.get(); }
    std::unique_ptr<ScriptMessageBridge> takeBridge() { return std::move(m_bridge); }
    const std::vector<std::pair<std::string, std::shared_ptr<UrlSchemeHandler>>>& schemeHandlers() const
    {
        return m_schemeHandlers;
    }

private:
    bool m_persistentDataStore = false;
    GRef<WebKitSettings> m_settings;
    GRef<WebKitUserContentManager> m_contentManager;
    std::unique_ptr<ScriptMessageBridge> m_bridge;
    std::vector<std::pair<std::string, std::shared_ptr<UrlSchemeHandler>>> m_schemeHandlers;
};

} // namespace norla
