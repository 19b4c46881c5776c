#include "FakeWebView.h"

namespace norla::test {

void FakeWebView::callAsyncJavaScript(
    const std::string&, Value::Object arguments, ContentWorld world, CompletionHandler<void(Result<Value>)> completion)
{
    asyncCalls.push_back({ std::move(arguments), world, std::move(completion) });
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
    return std::make_shared<FakeWebView>(std::move(fake));
}

} // namespace norla::test
