#include "app/NorlaAppDelegate.h"

#include "app/AppleSeams.h"
#include "app/MenuBuilder.h"
#include "app/NorlaSceneDelegate.h"
#include "desktop/BridgeTargets.h"
#include "desktop/OfficeAppDelegate.h"
#include "foundation/FoundationConversions.h"
#include "platform/SystemLog.h"
#include "support/MenuLayout.h"

#include <memory>
#include <vector>

using namespace norla;

@implementation NorlaAppDelegate {
    std::shared_ptr<OfficeAppDelegate> _delegate;
    MenuLayout _menus;
}

- (BOOL)application:(UIApplication*)application
    didFinishLaunchingWithOptions:(nullable NSDictionary<UIApplicationLaunchOptionsKey, id>*)launchOptions
{
    installAppleSeams();
    installBridgeTargets();
    _menus = MenuLayout::build(MenuCommands::groups());
    _delegate = OfficeAppDelegate::make();
    std::optional<Value> remoteNotification;
    id payload = launchOptions[UIApplicationLaunchOptionsRemoteNotificationKey];
    if ([payload isKindOfClass:[NSDictionary class]])
        remoteNotification = toValue(payload);
    return _delegate->didFinishLaunching(std::move(remoteNotification)) ? YES : NO;
}

- (void)application:(UIApplication*)application didRegisterForRemoteNotificationsWithDeviceToken:(NSData*)deviceToken
{
    const auto* bytes = static_cast<const std::uint8_t*>(deviceToken.bytes);
    std::vector<std::uint8_t> token(bytes, bytes + deviceToken.length);
    if (_delegate)
        _delegate->didRegisterForRemoteNotificationsWithDeviceToken(std::move(token));
}

- (void)application:(UIApplication*)application didFailToRegisterForRemoteNotificationsWithError:(NSError*)error
{
    // No token: the page simply never registers this device.
    logLine("OfficeAppDelegate: " + toError(error).description());
}

- (UISceneConfiguration*)application:(UIApplication*)application
    configurationForConnectingSceneSession:(UISceneSession*)connectingSceneSession
                                   options:(UISceneConnectionOptions*)options
{
    UISceneConfiguration* configuration = [[UISceneConfiguration alloc] initWithName:@"Default Configuration"
                                                                         sessionRole:connectingSceneSession.role];
    configuration.delegateClass = [NorlaSceneDelegate class];
    return configuration;
}

- (void)buildMenuWithBuilder:(id<UIMenuBuilder>)builder
{
    [super buildMenuWithBuilder:builder];
    if (_menus.commands.empty())
        _menus = MenuLayout::build(MenuCommands::groups());
    buildMenus(builder, _menus, @selector(performMenuCommand:));
}

- (void)performMenuCommand:(UICommand*)sender
{
    auto index = menuCommandIndex(sender);
    if (const MenuCommand* command = index ? _menus.command(*index) : nullptr)
        command->action.perform();
}

@end
