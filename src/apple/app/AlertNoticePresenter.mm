#include "app/AlertNoticePresenter.h"

#include "foundation/FoundationConversions.h"

#import <UIKit/UIKit.h>

namespace norla {

namespace {

    // The key window of the first window scene in the foreground and active; nil without one.
    UIWindow* _Nullable activeKeyWindow()
    {
        for (UIScene* scene in [UIApplication sharedApplication].connectedScenes) {
            if (![scene isKindOfClass:[UIWindowScene class]])
                continue;
            if (scene.activationState == UISceneActivationStateForegroundActive)
                return ((UIWindowScene*)scene).keyWindow;
        }
        return nil;
    }

} // namespace

void AlertNoticePresenter::showNotice(const std::string& title, const std::string& message)
{
    UIWindow* window = activeKeyWindow();
    UIViewController* presenter = window.rootViewController;
    if (!presenter)
        return;
    while (presenter.presentedViewController)
        presenter = presenter.presentedViewController;
    UIAlertController* alert = [UIAlertController alertControllerWithTitle:toNSString(title)
                                                                   message:toNSString(message)
                                                            preferredStyle:UIAlertControllerStyleAlert];
    [alert addAction:[UIAlertAction actionWithTitle:@"OK" style:UIAlertActionStyleDefault handler:nil]];
    [presenter presentViewController:alert animated:YES completion:nil];
}

} // namespace norla
