#include "desktop/UNNotificationCenterAdapter.h"

#include "foundation/FoundationConversions.h"
#include "platform/Seams.h"
#include "platform/UserNotificationCenterDelegate.h"

#include <memory>

using namespace norla;

namespace {

NotificationAuthorizationStatus toStatus(UNAuthorizationStatus status)
{
    switch (status) {
    case UNAuthorizationStatusDenied:
        return NotificationAuthorizationStatus::denied;
    case UNAuthorizationStatusAuthorized:
        return NotificationAuthorizationStatus::authorized;
    case UNAuthorizationStatusProvisional:
        return NotificationAuthorizationStatus::provisional;
    case UNAuthorizationStatusNotDetermined:
        return NotificationAuthorizationStatus::notDetermined;
    default: // ephemeral never reaches a Mac
        return NotificationAuthorizationStatus::ephemeral;
    }
}

NotificationRequest toRequest(UNNotificationRequest* request)
{
    UNNotificationContent* content = request.content;
    NotificationContent converted;
    converted.title = toString(content.title);
    if (content.body.length > 0)
        converted.body = toString(content.body);
    converted.sound = content.sound != nil;
    converted.userInfo = toValue(content.userInfo);
    return { toString(request.identifier), std::move(converted) };
}

} // namespace

// The center's delegate: forwards to whichever core delegate is installed; while none is, a notification
// in front is not shown and a tap is only acknowledged.
@interface NorlaNotificationCenterDelegate : NSObject <UNUserNotificationCenterDelegate>
@end

@implementation NorlaNotificationCenterDelegate

- (void)userNotificationCenter:(UNUserNotificationCenter*)center
       willPresentNotification:(UNNotification*)notification
         withCompletionHandler:(void (^)(UNNotificationPresentationOptions options))completionHandler
{
    auto delegate = Seam<UserNotificationCenterDelegate>::find();
    if (!delegate) {
        completionHandler(0);
        return;
    }
    delegate->willPresentNotification(toRequest(notification.request), [completionHandler](std::uint32_t options) {
        completionHandler(static_cast<UNNotificationPresentationOptions>(options));
    });
}

- (void)userNotificationCenter:(UNUserNotificationCenter*)center
    didReceiveNotificationResponse:(UNNotificationResponse*)response
             withCompletionHandler:(void (^)(void))completionHandler
{
    auto delegate = Seam<UserNotificationCenterDelegate>::find();
    if (!delegate) {
        completionHandler();
        return;
    }
    delegate->didReceiveNotificationResponse(
        toValue(response.notification.request.content.userInfo), [completionHandler] { completionHandler(); });
}

@end

namespace norla {

UNNotificationCenterAdapter::UNNotificationCenterAdapter()
    : m_center([UNUserNotificationCenter currentNotificationCenter])
    , m_delegate([[NorlaNotificationCenterDelegate alloc] init])
{
    m_center.delegate = m_delegate;
}

void UNNotificationCenterAdapter::requestAuthorization(NotificationAuthorizationOptions options,
    CompletionHandler<void(bool granted, std::optional<std::string> error)> completion)
{
    UNAuthorizationOptions bits = 0;
    if (options.alert)
        bits |= UNAuthorizationOptionAlert;
    if (options.sound)
        bits |= UNAuthorizationOptionSound;
    if (options.badge)
        bits |= UNAuthorizationOptionBadge;
    auto pending = std::make_shared<decltype(completion)>(std::move(completion));
    [m_center requestAuthorizationWithOptions:bits
                            completionHandler:^(BOOL granted, NSError* _Nullable error) {
                                std::optional<std::string> failure;
                                if (error)
                                    failure = toError(error).description();
                                (*pending)(granted == YES, std::move(failure));
                            }];
}

void UNNotificationCenterAdapter::notificationSettings(
    CompletionHandler<void(NotificationAuthorizationStatus)> completion)
{
    auto pending = std::make_shared<decltype(completion)>(std::move(completion));
    [m_center getNotificationSettingsWithCompletionHandler:^(
        UNNotificationSettings* settings) { (*pending)(toStatus(settings.authorizationStatus)); }];
}

void UNNotificationCenterAdapter::add(NotificationRequest request)
{
    UNMutableNotificationContent* content = [[UNMutableNotificationContent alloc] init];
    content.title = toNSString(request.content.title);
    if (request.content.body)
        content.body = toNSString(*request.content.body);
    if (request.content.sound)
        content.sound = [UNNotificationSound defaultSound];
    if (request.content.userInfo.isObject())
        content.userInfo = toObject(request.content.userInfo);
    // No trigger: delivered at once; the same identifier replaces an earlier notification.
    [m_center addNotificationRequest:[UNNotificationRequest requestWithIdentifier:toNSString(request.identifier)
                                                                          content:content
                                                                          trigger:nil]
               withCompletionHandler:nil];
}

void UNNotificationCenterAdapter::setBadgeCount(std::int64_t count)
{
    [m_center setBadgeCount:static_cast<NSInteger>(count) withCompletionHandler:nil];
}

} // namespace norla
