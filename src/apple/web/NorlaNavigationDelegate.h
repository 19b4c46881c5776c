#pragma once

#include "web/NavigationDelegate.h"

#import <WebKit/WebKit.h>

#include <memory>

NS_ASSUME_NONNULL_BEGIN

// Hands WebKit's navigation callbacks to the core's navigation delegate (held weakly, as WebKit holds
// this object), with the adapter of the web view they concern.
@interface NorlaNavigationDelegate : NSObject <WKNavigationDelegate>
- (instancetype)initWithDelegate:(std::weak_ptr<norla::NavigationDelegate>)delegate
                         webView:(norla::WebView&)webView NS_DESIGNATED_INITIALIZER;
- (instancetype)init NS_UNAVAILABLE;
@end

NS_ASSUME_NONNULL_END
