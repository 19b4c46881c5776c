#pragma once

#import <UIKit/UIKit.h>

NS_ASSUME_NONNULL_BEGIN

// The application delegate: installs the platform and the bridge's targets at launch, hands the launch,
// the device token and menu commands to the core, and names the scene delegate. As the last responder
// of the chain it performs the menu commands.
@interface NorlaAppDelegate : UIResponder <UIApplicationDelegate>
- (void)performMenuCommand:(UICommand*)sender;
@end

NS_ASSUME_NONNULL_END
