#include "web/NorlaURLSchemeHandler.h"

#include "foundation/FoundationConversions.h"
#include "support/SchemeTaskGate.h"
#include "web/WKWebViewAdapter.h"

#include <map>

using namespace norla;

namespace {

class SchemeTask final : public UrlSchemeTask {
public:
    SchemeTask(id<WKURLSchemeTask> task, std::shared_ptr<SchemeTaskGate> gate)
        : m_task(task)
        , m_gate(std::move(gate))
    {
    }

    std::optional<Url> requestURL() const override { return toUrl(m_task.request.URL); }

    void didReceiveResponse(const UrlSchemeResponse& response) override
    {
        NSURL* url = toNSURL(response.url) ?: m_task.request.URL;
        NSMutableDictionary<NSString*, NSString*>* headers = [NSMutableDictionary dictionary];
        for (const auto& [name, value] : response.headerFields)
            headers[toNSString(name)] = toNSString(value);
        NSHTTPURLResponse* answer = url ? [[NSHTTPURLResponse alloc] initWithURL:url
                                                                      statusCode:response.statusCode
                                                                     HTTPVersion:toNSString(response.httpVersion)
                                                                    headerFields:headers]
                                        : nil;
        if (!answer) {
            didFailWithError(Error::platform("The response could not be made."));
            return;
        }
        if (m_gate->take(SchemeTaskGate::Step::response))
            [m_task didReceiveResponse:answer];
    }

    void didReceiveData(std::vector<std::uint8_t> data) override
    {
        if (m_gate->take(SchemeTaskGate::Step::data))
            [m_task didReceiveData:[NSData dataWithBytes:data.data() length:data.size()]];
    }

    void didFinish() override
    {
        if (m_gate->take(SchemeTaskGate::Step::finish))
            [m_task didFinish];
    }

    void didFailWithError(const Error& error) override
    {
        if (!m_gate->take(SchemeTaskGate::Step::failure))
            return;
        NSDictionary<NSString*, id>* userInfo = @ { NSLocalizedDescriptionKey : toNSString(error.description()) };
        [m_task didFailWithError:[NSError errorWithDomain:toNSString(error.domain())
                                                     code:error.code()
                                                 userInfo:userInfo]];
    }

private:
    id<WKURLSchemeTask> m_task;
    std::shared_ptr<SchemeTaskGate> m_gate;
};

} // namespace

@implementation NorlaURLSchemeHandler {
    std::shared_ptr<UrlSchemeHandler> _handler;
    // The gates of the tasks still running, by task object.
    std::map<const void*, std::shared_ptr<SchemeTaskGate>> _running;
}

- (instancetype)initWithHandler:(std::shared_ptr<UrlSchemeHandler>)handler
{
    if ((self = [super init]))
        _handler = std::move(handler);
    return self;
}

- (void)webView:(WKWebView*)webView startURLSchemeTask:(id<WKURLSchemeTask>)urlSchemeTask
{
    const void* key = (__bridge const void*)urlSchemeTask;
    auto gate = std::make_shared<SchemeTaskGate>();
    _running[key] = gate;
    WKWebViewAdapter view(webView);
    SchemeTask task(urlSchemeTask, gate);
    _handler->startURLSchemeTask(view, task);
    if (gate->hasEnded())
        _running.erase(key);
}

- (void)webView:(WKWebView*)webView stopURLSchemeTask:(id<WKURLSchemeTask>)urlSchemeTask
{
    const void* key = (__bridge const void*)urlSchemeTask;
    auto found = _running.find(key);
    if (found == _running.end())
        return;
    auto gate = found->second;
    gate->stop();
    _running.erase(found);
    WKWebViewAdapter view(webView);
    SchemeTask task(urlSchemeTask, gate);
    _handler->stopURLSchemeTask(view, task);
}

@end
