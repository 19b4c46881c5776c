#include "web/ScriptMessageBridge.h"

#include "foundation/GUniquePtr.h"
#include "web/WebKitRefs.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <random>

namespace norla {

namespace {

    constexpr const char* tokenKey = "__norlaFrameToken";
    constexpr const char* senderKey = "__norlaSender";

    std::string randomToken()
    {
        std::random_device device; // the kernel's random source
        std::string token;
        for (int i = 0; i < 4; ++i) {
            std::array<char, 9> chunk {};
            std::snprintf(chunk.data(), chunk.size(), "%08x", static_cast<unsigned>(device()));
            token += chunk.data();
        }
        return token;
    }

    const char* worldName(ContentWorld world) { return world == ContentWorld::page ? nullptr : "norla-client"; }

    // The origin the wrapper read from `location` when its document started.
    SecurityOrigin senderOrigin(const Value* sender)
    {
        SecurityOrigin origin;
        if (!sender)
            return origin;
        const auto* protocol = sender->find("protocol");
        const auto* host = sender->find("host");
        const auto* port = sender->find("port");
        if (!protocol || !protocol->asString() || !host || !host->asString() || !port || !port->asString())
            return origin;
        origin.protocol = *protocol->asString();
        if (origin.protocol.ends_with(':'))
            origin.protocol.pop_back();
        origin.host = *host->asString();
        if (origin.host.size() > 2 && origin.host.front() == '[' && origin.host.back() == ']')
            origin.host = origin.host.substr(1, origin.host.size() - 2); // an IPv6 literal, stored bare
        const auto& digits = *port->asString();
        if (!digits.empty() && digits.size() <= 5
            && std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            origin.port = std::stoi(digits);
        return origin;
    }

} // namespace

ScriptMessageBridge::ScriptMessageBridge(WebKitUserContentManager* manager)
    : m_manager(manager)
    , m_token(randomToken())
{
}

std::string ScriptMessageBridge::wrapperScript(const std::string& name, const std::string& token)
{
    // The token and the sender's origin stay in the closure: the function the page can read (and hand to
    // a frame as text) names them but does not hold them. The origin is read before any page script
    // runs. Names and tokens are ours (handler names, hex), so they go in as plain string literals.
    return "(() => {\n"
           "  const handlers = window.webkit && window.webkit.messageHandlers;\n"
           "  const handler = handlers && handlers[\""
        + name
        + "\"];\n"
          "  if (!handler) return;\n"
          "  const post = handler.postMessage.bind(handler);\n"
          "  const frameToken = \""
        + token
        + "\";\n"
          "  const sender = { protocol: location.protocol, host: location.hostname, port: location.port };\n"
          "  const wrapped = (body) => post({ "
        + tokenKey + ": frameToken, " + senderKey
        + ": sender, body });\n"
          "  Object.defineProperty(handler, \"postMessage\", { value: wrapped, writable: false, configurable: false "
          "});\n"
          "})();\n";
}

void ScriptMessageBridge::addHandler(
    std::weak_ptr<ScriptMessageHandlerWithReply> handler, ContentWorld world, const std::string& name)
{
    m_handlers[name] = std::move(handler);
    webkit_user_content_manager_register_script_message_handler_with_reply(m_manager, name.c_str(), worldName(world));
    auto script = GRef<WebKitUserScript>::adopt(webkit_user_script_new(wrapperScript(name, m_token).c_str(),
        WEBKIT_USER_CONTENT_INJECT_TOP_FRAME, WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr));
    webkit_user_content_manager_add_script(m_manager, script.get());

    std::string signal = "script-message-with-reply-received::" + name;
    m_connections.push_back(
        connectSignal<gboolean(WebKitUserContentManager*, JSCValue*, WebKitScriptMessageReply*)>(m_manager,
            signal.c_str(), [this, name](WebKitUserContentManager*, JSCValue* value, WebKitScriptMessageReply* reply) {
                didReceive(name, value, reply);
                return TRUE;
            }));
}

ScriptMessage ScriptMessageBridge::decode(const std::string& name, const Value& posted, const std::string& token)
{
    ScriptMessage message;
    message.name = name;
    const auto* sentToken = posted.find(tokenKey);
    if (sentToken && sentToken->asString() && *sentToken->asString() == token) {
        const auto* body = posted.find("body");
        message.body = body ? *body : Value();
        message.frameInfo.isMainFrame = true;
        message.frameInfo.securityOrigin = senderOrigin(posted.find(senderKey));
    } else {
        // Posted past the wrapper: from a frame. Its origin is unknown, and the main-frame check comes first.
        message.body = posted;
    }
    return message;
}

void ScriptMessageBridge::didReceive(const std::string& name, JSCValue* value, WebKitScriptMessageReply* reply)
{
    auto context = GRef<JSCContext>::retain(jsc_value_get_context(value));
    auto heldReply = GRef<WebKitScriptMessageReply>::retain(reply);
    BridgeReply bridgeReply([context, heldReply](BridgeAnswer answer) {
        if (answer.error) {
            webkit_script_message_reply_return_error_message(heldReply.get(), answer.error->c_str());
            return;
        }
        auto result = GRef<JSCValue>::adopt(answer.result ? jsc_value_new_string(context.get(), answer.result->c_str())
                                                          : jsc_value_new_undefined(context.get()));
        webkit_script_message_reply_return_value(heldReply.get(), result.get());
    });

    Value posted;
    if (!jsc_value_is_undefined(value)) {
        GCharPtr json(jsc_value_to_json(value, 0));
        if (json)
            posted = Value::fromJSON(json.get()).value_or(Value());
    }
    auto handler = m_handlers[name].lock();
    if (!handler)
        return; // the dropped reply rejects the page's promise
    handler->didReceiveScriptMessage(decode(name, posted, m_token), std::move(bridgeReply));
}

} // namespace norla
