#include "web/WKWebViewFactory.h"

#include "foundation/FoundationConversions.h"
#include "platform/SystemLog.h"
#include "web/NorlaScriptMessageHandler.h"
#include "web/NorlaURLSchemeHandler.h"
#include "web/WKWebViewAdapter.h"

namespace norla {

WKConfigurationAdapter::WKConfigurationAdapter()
    : m_configuration([[WKWebViewConfiguration alloc] init])
{
}

void WKConfigurationAdapter::useDefaultWebsiteDataStore()
{
    m_configuration.websiteDataStore = [WKWebsiteDataStore defaultDataStore];
}

void WKConfigurationAdapter::setAllowsInlineMediaPlayback(bool allows)
{
    m_configuration.allowsInlineMediaPlayback = allows ? YES : NO;
}

void WKConfigurationAdapter::setMediaTypesRequiringUserActionForPlayback(AudiovisualMediaTypes types)
{
    switch (types) {
    case AudiovisualMediaTypes::none:
        m_configuration.mediaTypesRequiringUserActionForPlayback = WKAudiovisualMediaTypeNone;
        break;
    case AudiovisualMediaTypes::audio:
        m_configuration.mediaTypesRequiringUserActionForPlayback = WKAudiovisualMediaTypeAudio;
        break;
    case AudiovisualMediaTypes::video:
        m_configuration.mediaTypesRequiringUserActionForPlayback = WKAudiovisualMediaTypeVideo;
        break;
    case AudiovisualMediaTypes::all:
        m_configuration.mediaTypesRequiringUserActionForPlayback = WKAudiovisualMediaTypeAll;
        break;
    }
}

void WKConfigurationAdapter::setURLSchemeHandler(std::shared_ptr<UrlSchemeHandler> handler, std::string scheme)
{
    NSString* name = toNSString(scheme);
    // WebKit raises an exception for a scheme it handles itself: refuse it here instead.
    if ([WKWebView handlesURLScheme:name]) {
        logLine("WKWebViewFactory: WebKit handles the scheme itself: " + scheme);
        return;
    }
    [m_configuration setURLSchemeHandler:[[NorlaURLSchemeHandler alloc] initWithHandler:std::move(handler)]
                            forURLScheme:name];
}

void WKConfigurationAdapter::addScriptMessageHandlerWithReply(
    std::weak_ptr<ScriptMessageHandlerWithReply> handler, ContentWorld world, std::string name)
{
    [m_configuration.userContentController
        addScriptMessageHandlerWithReply:[[NorlaScriptMessageHandler alloc] initWithHandler:std::move(handler)]
                            contentWorld:toContentWorld(world)
                                    name:toNSString(name)];
}

void WKConfigurationAdapter::addUserScript(UserScript script)
{
    auto time = script.injectionTime == UserScriptInjectionTime::atDocumentStart
        ? WKUserScriptInjectionTimeAtDocumentStart
        : WKUserScriptInjectionTimeAtDocumentEnd;
    [m_configuration.userContentController
        addUserScript:[[WKUserScript alloc] initWithSource:toNSString(script.source)
                                             injectionTime:time
                                          forMainFrameOnly:script.forMainFrameOnly ? YES : NO]];
}

void WKConfigurationAdapter::setApplicationNameForUserAgent(std::string name)
{
    m_configuration.applicationNameForUserAgent = toNSString(name);
}

std::unique_ptr<WebViewConfiguration> WKWebViewFactory::makeConfiguration()
{
    return std::make_unique<WKConfigurationAdapter>();
}

std::shared_ptr<WebView> WKWebViewFactory::makeWebView(std::unique_ptr<WebViewConfiguration> configuration)
{
    auto* adapter = dynamic_cast<WKConfigurationAdapter*>(configuration.get());
    WKWebViewConfiguration* built = adapter ? adapter->configuration() : [[WKWebViewConfiguration alloc] init];
    // The web view copies the configuration: everything is in it by now.
    WKWebView* webView = [[WKWebView alloc] initWithFrame:CGRectZero configuration:built];
    return std::make_shared<WKWebViewAdapter>(webView);
}

} // namespace norla
