#pragma once

#include "web/UrlSchemeHandler.h"

#import <WebKit/WebKit.h>

#include <memory>

NS_ASSUME_NONNULL_BEGIN

// Serves one custom scheme through the core's handler. Each task reaches WebKit only in the order it
// demands, and nothing reaches a task once WebKit has stopped it.
@interface NorlaURLSchemeHandler : NSObject <WKURLSchemeHandler>
- (instancetype)initWithHandler:(std::shared_ptr<norla::UrlSchemeHandler>)handler NS_DESIGNATED_INITIALIZER;
- (instancetype)init NS_UNAVAILABLE;
@end

NS_ASSUME_NONNULL_END
