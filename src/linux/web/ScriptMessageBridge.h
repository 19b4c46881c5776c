#pragma once

#include "foundation/SignalConnection.h"
#include "web/ScriptMessage.h"
#include "web/WebView.h"

#include <webkit/webkit.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace norla {

// Carries the page's messages from WebKit's reply handlers to our handlers, and their answers back.
//
// WebKitGTK says neither which frame posted a message nor from which origin, yet the bridge accepts only
// the main frame of the application's host. So for each handler a top-frame script, injected before any
// other, wraps the handler's postMessage to send `{ __norlaFrameToken, __norlaSender, body }`: a token
// known only to that script's closure and to us (one per web view, so that pages restored from the
// back/forward cache keep a valid token), and the origin of the document it was injected into, read
// when that document started. Nothing the page can read holds the token, so frames, which post to the
// bare handler, arrive without it: not the main frame. A same-origin frame can reach the parent's
// wrapper, which is the trust boundary the origin check draws anyway.
class ScriptMessageBridge {
public:
    explicit ScriptMessageBridge(WebKitUserContentManager* manager);
    ScriptMessageBridge(const ScriptMessageBridge&) = delete;
    ScriptMessageBridge& operator=(const ScriptMessageBridge&) = delete;

    // Registers the handler with reply under `name` and adds its wrapping script.
    void addHandler(std::weak_ptr<ScriptMessageHandlerWithReply> handler, ContentWorld world, const std::string& name);
    // The message as the handler sees it, from the JSON of what the page posted.
    static ScriptMessage decode(const std::string& name, const Value& posted, const std::string& token);
    static std::string wrapperScript(const std::string& name, const std::string& token);

private:
    void didReceive(const std::string& name, JSCValue* value, WebKitScriptMessageReply* reply);

    WebKitUserContentManager* m_manager; // owned by the configuration and then the web view
    std::string m_token;
    std::map<std::string, std::weak_ptr<ScriptMessageHandlerWithReply>, std::less<>> m_handlers;
    std::vector<SignalConnection> m_connections;
};

} // namespace norla
