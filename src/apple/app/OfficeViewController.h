#pragma once

#include "platform/Url.h"

#import <UIKit/UIKit.h>

NS_ASSUME_NONNULL_BEGIN

// The window's only content: the web view host. The web view fills the view below the title bar and
// reaches under the bottom safe area.
@interface OfficeViewController : UIViewController
- (instancetype)initWithAppURL:(const norla::Url&)appURL NS_DESIGNATED_INITIALIZER;
- (instancetype)initWithNibName:(nullable NSString*)nibNameOrNil
                         bundle:(nullable NSBundle*)nibBundleOrNil NS_UNAVAILABLE;
- (nullable instancetype)initWithCoder:(NSCoder*)coder NS_UNAVAILABLE;
@end

NS_ASSUME_NONNULL_END
