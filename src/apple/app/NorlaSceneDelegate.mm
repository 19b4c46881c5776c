#include "app/NorlaSceneDelegate.h"

#include "app/AppURL.h"
#include "app/OfficeViewController.h"
#include "platform/NotificationCenter.h"
#include "platform/SharedApplication.h"

#include <string>

using namespace norla;

namespace {

constexpr CGFloat defaultWidth = 1280;
constexpr CGFloat defaultHeight = 820;

// A new window opens at the default size in the middle of its screen; restored ones keep theirs.
void requestDefaultSize(UIWindowScene* scene)
{
    CGRect screen = scene.screen.bounds;
    CGRect frame = CGRectMake(
        (screen.size.width - defaultWidth) / 2, (screen.size.height - defaultHeight) / 2, defaultWidth, defaultHeight);
    [scene requestGeometryUpdateWithPreferences:[[UIWindowSceneGeometryPreferencesMac alloc] initWithSystemFrame:frame]
                                   errorHandler:nil];
}

} // namespace

@implementation NorlaSceneDelegate

- (void)scene:(UIScene*)scene
    willConnectToSession:(UISceneSession*)session
                 options:(UISceneConnectionOptions*)connectionOptions
{
    if (![scene isKindOfClass:[UIWindowScene class]])
        return;
    UIWindowScene* windowScene = (UIWindowScene*)scene;
    if (!session.stateRestorationActivity)
        requestDefaultSize(windowScene);
    UIWindow* window = [[UIWindow alloc] initWithWindowScene:windowScene];
    window.rootViewController = [[OfficeViewController alloc] initWithAppURL:resolveAppURL()];
    self.window = window;
    [window makeKeyAndVisible];
}

- (void)sceneDidDisconnect:(UIScene*)scene
{
    // The window, its web view and its coordinator go with the scene.
    self.window = nil;
}

- (void)sceneDidEnterBackground:(UIScene*)scene
{
    NotificationCenter::defaultCenter().post(std::string(sceneDidEnterBackgroundNotification));
}

- (void)sceneWillEnterForeground:(UIScene*)scene
{
    NotificationCenter::defaultCenter().post(std::string(sceneWillEnterForegroundNotification));
}

@end
