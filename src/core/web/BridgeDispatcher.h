#pragma once

#include "platform/BridgeReply.h"
#include "platform/Url.h"
#include "web/ScriptMessage.h"

#include <memory>
#include <string_view>

namespace norla {

class WebView;

// Answers the page's bridge messages: checks where each comes from and what it holds, looks its command
// up in the handler's table and replies exactly once.
class BridgeDispatcher {
public:
    static constexpr std::string_view shellHandlerName = "norlaShell";
    static constexpr std::string_view recorderHandlerName = "norlaRecorder";

    // On the main thread. `appURL` is the coordinator's; `webView` may already be gone.
    static void dispatch(const Url& appURL, std::weak_ptr<WebView> webView, ScriptMessage message, BridgeReply reply);
};

} // namespace norla
