#pragma once

#include "platform/BridgeReply.h"
#include "platform/Value.h"

#include <string>

namespace norla {

// The security origin of a frame (`WKSecurityOrigin`): empty host when the origin has none.
struct SecurityOrigin {
    std::string protocol;
    std::string host;
    int port = 0; // 0 for the scheme's default
};

// The facts about the frame that sent a message or asked for a permission (`WKFrameInfo`).
struct FrameInfo {
    bool isMainFrame = false;
    SecurityOrigin securityOrigin;
};

// One message a page posted to a named script-message handler (`WKScriptMessage`).
struct ScriptMessage {
    std::string name; // the handler's name
    Value body;
    FrameInfo frameInfo;
};

// A script-message handler that answers each message with a reply (`WKScriptMessageHandlerWithReply`).
// Called on the main thread; the reply answers exactly once, or rejects the page's promise when dropped.
class ScriptMessageHandlerWithReply {
public:
    virtual ~ScriptMessageHandlerWithReply() = default;
    virtual void didReceiveScriptMessage(ScriptMessage message, BridgeReply reply) = 0;
};

} // namespace norla
