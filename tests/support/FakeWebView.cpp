#include "FakeWebView.h"

namespace norla::test {

namespace {

    const char* worldName(ContentWorld world) { return world == ContentWorld::page ? "page" : "defaultClient"; }

} // namespace

void FakeWebViewConfiguration::setAllowsInlineMediaPlayback(bool allows)
{
    steps.push_back(std::string("inlineMediaPlayback: ") + (allows ? "true" : "false"));
}

void FakeWebViewConfiguration::setMediaTypesRequiringUserActionForPlayback(AudiovisualMediaTypes types)
{
    static constexpr const char* names[] = { "none", "audio", "video", "all" };
    steps.push_back(std::string("mediaTypesRequiringUserAction: ") + names[static_cast<int>(types)]);
}

void FakeWebViewConfiguration::setURLSchemeHandler(std::shared_ptr<UrlSchemeHandler> handler, std::string scheme)
{
    steps.push_back("urlSchemeHandler: " + scheme);
    schemeHandler = std::move(handler);
}

void FakeWebViewConfiguration::addScriptMessageHandlerWithReply(
    std::weak_ptr<ScriptMessageHandlerWithReply> handler, ContentWorld world, std::string name)
{
    steps.push_back("messageHandler: " + name + " in " + worldName(world));
    messageHandlers.emplace_back(std::move(name), std::move(handler));
}

void FakeWebViewConfiguration::addUserScript(UserScript script)
{
    steps.push_back(std::string("userScript: ")
        + (script.injectionTime == UserScriptInjectionTime::atDocumentStart ? "documentStart" : "documentEnd")
        + (script.forMainFrameOnly ? " mainFrame" : " allFrames"));
    userScripts.push_back(std::move(script));
}

void FakeWebViewConfiguration::setApplicationNameForUserAgent(std::string name)
{
    steps.push_back("applicationNameForUserAgent: " + name);
}

void FakeWebView::callAsyncJavaScript(const std::string& functionBody, Value::Object arguments, ContentWorld world,
    CompletionHandler<void(Result<Value>)> completion)
{
    asyncCalls.push_back({ functionBody, std::move(arguments), world, std::move(completion) });
}

std::vector<std::string> FakeWebView::loadedURLs() const
{
    std::vector<std::string> urls;
    urls.reserve(loads.size());
    for (const auto& request : loads)
        urls.push_back(request.url.absoluteString);
    return urls;
}

std::shared_ptr<WebView> FakeWebViewFactory::makeWebView(std::unique_ptr<WebViewConfiguration> configuration)
{
    std::unique_ptr<FakeWebViewConfiguration> fake(static_cast<FakeWebViewConfiguration*>(configuration.release()));
    auto webView = std::make_shared<FakeWebView>(std::move(fake));
    made.push_back(webView);
    return webView;
}

} // namespace norla::test
