#pragma once

#include "web/UrlSchemeHandler.h"

#include <webkit/webkit.h>

#include <map>
#include <memory>
#include <set>
#include <string>

namespace norla {

// WebKitGTK registers a custom scheme once per web context, while each of our web views has its own
// handler: the router registers each scheme once and hands every request to the handler of the web
// view that made it. Main thread only.
class UriSchemeRouter {
public:
    static UriSchemeRouter& shared();

    void route(const std::string& scheme, WebKitWebView* webView, std::shared_ptr<UrlSchemeHandler> handler);
    void forget(WebKitWebView* webView);

private:
    static void didRequest(WebKitURISchemeRequest* request, gpointer router);
    void start(WebKitURISchemeRequest* request);

    std::set<std::string> m_registeredSchemes;
    std::map<std::pair<std::string, WebKitWebView*>, std::shared_ptr<UrlSchemeHandler>> m_handlers;
};

} // namespace norla
