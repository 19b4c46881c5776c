#pragma once

#include "web/UIDelegate.h"

#import <WebKit/WebKit.h>

#include <memory>

NS_ASSUME_NONNULL_BEGIN

// Hands WebKit's media-capture permission requests to the core's UI delegate, with the requesting
// origin and frame as WebKit reports them.
@interface NorlaUIDelegate : NSObject <WKUIDelegate>
- (instancetype)initWithDelegate:(std::weak_ptr<norla::UIDelegate>)delegate
                         webView:(norla::WebView&)webView NS_DESIGNATED_INITIALIZER;
- (instancetype)init NS_UNAVAILABLE;
@end

namespace norla {
SecurityOrigin toSecurityOrigin(WKSecurityOrigin* origin);
FrameInfo toFrameInfo(WKFrameInfo* frame);
} // namespace norla

NS_ASSUME_NONNULL_END
