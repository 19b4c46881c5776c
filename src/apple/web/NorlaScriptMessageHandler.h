#pragma once

#include "web/ScriptMessage.h"

#import <WebKit/WebKit.h>

#include <memory>

NS_ASSUME_NONNULL_BEGIN

// Hands each script message to the core's handler with the real frame it came from (main frame or not,
// the security origin's host), and the core's answer back to WebKit's reply handler exactly once. The user
// content controller retains this object; it holds the core's handler weakly, so a window's coordinator
// can go while the controller lives on.
@interface NorlaScriptMessageHandler : NSObject <WKScriptMessageHandlerWithReply>
- (instancetype)initWithHandler:(std::weak_ptr<norla::ScriptMessageHandlerWithReply>)handler NS_DESIGNATED_INITIALIZER;
- (instancetype)init NS_UNAVAILABLE;
@end

NS_ASSUME_NONNULL_END
