#pragma once

#include "platform/BridgeReply.h"
#include "platform/Url.h"
#include "platform/Value.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace norla {

class WebView;

// One message that passed the guard, as a command sees it. Runs on the main thread. A command answers
// `reply` now, or moves it into the work it waits for; a reply still pending when the command throws is
// answered with the error.
struct BridgeCall {
    std::string command;
    std::string handlerName;
    Value::Object arguments; // the message's keys next to `cmd`
    Url appURL;
    std::weak_ptr<WebView> webView;
    BridgeReply reply;

    const std::string* stringArgument(std::string_view key) const;
};

using BridgeCommand = void (*)(BridgeCall& call);
using BridgeCommandTable = std::map<std::string, BridgeCommand, std::less<>>;

// "norlaShell": badges, page notifications and the permission questions.
const BridgeCommandTable& shellCommandTable();
// "norlaRecorder": the meeting recorder, external links and the native sign-in.
const BridgeCommandTable& recorderCommandTable();

} // namespace norla
