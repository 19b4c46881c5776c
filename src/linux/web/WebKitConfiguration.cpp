#include "web/WebKitConfiguration.h"

#include "web/WebKitRefs.h"

namespace norla {

WebKitConfiguration::WebKitConfiguration()
    : m_settings(GRef<WebKitSettings>::adopt(webkit_settings_new()))
    , m_contentManager(GRef<WebKitUserContentManager>::adopt(webkit_user_content_manager_new()))
    , m_bridge(std::make_unique<ScriptMessageBridge>(m_contentManager.get()))
{
    // A shell, not a browser: the page opens windows only through the bridge's rules.
    webkit_settings_set_javascript_can_open_windows_automatically(m_settings.get(), FALSE);
}

void WebKitConfiguration::setAllowsInlineMediaPlayback(bool allows)
{
    webkit_settings_set_media_playback_allows_inline(m_settings.get(), allows);
}

void WebKitConfiguration::setMediaTypesRequiringUserActionForPlayback(AudiovisualMediaTypes types)
{
    // WebKitGTK has one switch for all media types.
    webkit_settings_set_media_playback_requires_user_gesture(m_settings.get(), types != AudiovisualMediaTypes::none);
}

void WebKitConfiguration::setURLSchemeHandler(std::shared_ptr<UrlSchemeHandler> handler, std::string scheme)
{
    m_schemeHandlers.emplace_back(std::move(scheme), std::move(handler));
}

void WebKitConfiguration::addScriptMessageHandlerWithReply(
    std::weak_ptr<ScriptMessageHandlerWithReply> handler, ContentWorld world, std::string name)
{
    m_bridge->addHandler(std::move(handler), world, name);
}

void WebKitConfiguration::addUserScript(UserScript script)
{
    auto userScript = GRef<WebKitUserScript>::adopt(webkit_user_script_new(script.source.c_str(),
        script.forMainFrameOnly ? WEBKIT_USER_CONTENT_INJECT_TOP_FRAME : WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
        script.injectionTime == UserScriptInjectionTime::atDocumentStart ? WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START
                                                                         : WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_END,
        nullptr, nullptr));
    webkit_user_content_manager_add_script(m_contentManager.get(), userScript.get());
}

void WebKitConfiguration::setApplicationNameForUserAgent(std::string name)
{
    // Appended as written, like WKWebView's applicationNameForUserAgent (the "name/version" helper of
    // WebKitGTK would reshape it).
    std::string agent = webkit_settings_get_user_agent(m_settings.get());
    webkit_settings_set_user_agent(m_settings.get(), (agent + " " + name).c_str());
}

} // namespace norla
