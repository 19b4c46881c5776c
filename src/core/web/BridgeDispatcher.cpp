#include "web/BridgeDispatcher.h"

#include "web/BridgeCommands.h"
#include "web/BridgeError.h"

#include <exception>

namespace norla {

namespace {

    // Only the application's own page, in its main frame, with a well-formed body may call.
    bool passesGuard(const Url& appURL, const ScriptMessage& message)
    {
        if (!message.frameInfo.isMainFrame)
            return false;
        if (!appURL.host || message.frameInfo.securityOrigin.host != *appURL.host)
            return false;
        const auto* body = message.body.asObject();
        if (!body)
            return false;
        auto command = body->find("cmd");
        return command != body->end() && command->second.isString();
    }

} // namespace

const std::string* BridgeCall::stringArgument(std::string_view key) const
{
    auto found = arguments.find(key);
    return found == arguments.end() ? nullptr : found->second.asString();
}

void BridgeDispatcher::dispatch(
    const Url& appURL, std::weak_ptr<WebView> webView, ScriptMessage message, BridgeReply reply)
{
    if (!passesGuard(appURL, message)) {
        reply.reject(errorDescription(BridgeError::invalidCall));
        return;
    }
    auto arguments = std::move(*message.body.asObject());
    auto command = *arguments.find("cmd")->second.asString();
    arguments.erase("cmd");

    const auto& table = message.name == shellHandlerName ? shellCommandTable() : recorderCommandTable();
    auto entry = table.find(command);
    if (entry == table.end()) {
        reply.reject(unknownCommandError(command).description());
        return;
    }

    BridgeCall call { std::move(command), std::move(message.name), std::move(arguments), appURL, std::move(webView),
        std::move(reply) };
    try {
        entry->second(call);
    } catch (const ErrorException& exception) {
        call.reply.reject(exception.error().description());
    } catch (const std::exception& exception) {
        call.reply.reject(exception.what());
    }
}

} // namespace norla
