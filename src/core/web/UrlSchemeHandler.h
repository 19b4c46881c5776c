#pragma once

#include "platform/Error.h"
#include "platform/Url.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace norla {

class WebView;

// The HTTP-like response a scheme handler gives (`NSHTTPURLResponse`).
struct UrlSchemeResponse {
    Url url;
    int statusCode = 200;
    std::string httpVersion = "HTTP/1.1";
    std::map<std::string, std::string> headerFields;
};

// One request of a custom scheme (`WKURLSchemeTask`). Answer with didReceiveResponse, didReceiveData and
// didFinish in that order, or with didFailWithError.
class UrlSchemeTask {
public:
    virtual ~UrlSchemeTask() = default;
    virtual std::optional<Url> requestURL() const = 0;
    virtual void didReceiveResponse(const UrlSchemeResponse& response) = 0;
    virtual void didReceiveData(std::vector<std::uint8_t> data) = 0;
    virtual void didFinish() = 0;
    virtual void didFailWithError(const Error& error) = 0;
};

// Serves the requests of one custom URL scheme (`WKURLSchemeHandler`), on the main thread.
class UrlSchemeHandler {
public:
    virtual ~UrlSchemeHandler() = default;
    virtual void startURLSchemeTask(WebView& webView, UrlSchemeTask& task) = 0;
    virtual void stopURLSchemeTask(WebView& webView, UrlSchemeTask& task) = 0;
};

} // namespace norla
