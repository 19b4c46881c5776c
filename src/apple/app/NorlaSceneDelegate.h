#pragma once

#import <UIKit/UIKit.h>

NS_ASSUME_NONNULL_BEGIN

// The delegate of each application window scene: one window of 1280 × 820 points for a new scene, whose
// content is the web view host; the scene's lifecycle reaches the core's default notification center.
@interface NorlaSceneDelegate : UIResponder <UIWindowSceneDelegate>
@property (nullable, nonatomic, strong) UIWindow* window;
@end

NS_ASSUME_NONNULL_END
