#include "app/UIKitSharedApplication.h"

#include "app/UIWindowAdapter.h"
#include "foundation/FoundationConversions.h"
#include "platform/SystemLog.h"

namespace norla {

void UIKitSharedApplication::requestNewScene()
{
    [[UIApplication sharedApplication] requestSceneSessionActivation:nil userActivity:nil options:nil errorHandler:nil];
}

std::vector<std::shared_ptr<Window>> UIKitSharedApplication::windowSceneWindows() const
{
    std::vector<std::shared_ptr<Window>> windows;
    for (UIScene* scene in [UIApplication sharedApplication].connectedScenes) {
        if (![scene isKindOfClass:[UIWindowScene class]])
            continue;
        for (UIWindow* window in ((UIWindowScene*)scene).windows)
            windows.push_back(std::make_shared<UIWindowAdapter>(window));
    }
    return windows;
}

std::shared_ptr<Window> UIKitSharedApplication::makeWindow()
{
    return std::make_shared<UIWindowAdapter>([[UIWindow alloc] initWithFrame:CGRectZero]);
}

void UIKitSharedApplication::registerForRemoteNotifications()
{
    [[UIApplication sharedApplication] registerForRemoteNotifications];
}

} // namespace norla
