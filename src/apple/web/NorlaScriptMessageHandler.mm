#include "web/NorlaScriptMessageHandler.h"

#include "foundation/FoundationConversions.h"
#include "web/NorlaUIDelegate.h"

using namespace norla;

@implementation NorlaScriptMessageHandler {
    std::weak_ptr<ScriptMessageHandlerWithReply> _handler;
}

- (instancetype)initWithHandler:(std::weak_ptr<ScriptMessageHandlerWithReply>)handler
{
    if ((self = [super init]))
        _handler = std::move(handler);
    return self;
}

- (void)userContentController:(WKUserContentController*)userContentController
      didReceiveScriptMessage:(WKScriptMessage*)message
                 replyHandler:(void (^)(id _Nullable reply, NSString* _Nullable errorMessage))replyHandler
{
    // A reply the core drops unanswered still answers the page (with the bridge's own rejection).
    BridgeReply reply([replyHandler](BridgeAnswer answer) {
        if (answer.error)
            replyHandler(nil, toNSString(*answer.error));
        else
            replyHandler(answer.result ? toNSString(*answer.result) : nil, nil);
    });
    auto handler = _handler.lock();
    if (!handler)
        return;
    ScriptMessage scriptMessage { toString(message.name), toValue(message.body), toFrameInfo(message.frameInfo) };
    handler->didReceiveScriptMessage(std::move(scriptMessage), std::move(reply));
}

@end
