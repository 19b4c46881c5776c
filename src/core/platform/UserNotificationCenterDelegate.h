#pragma once

#include "platform/CompletionHandler.h"
#include "platform/UserNotificationCenter.h"
#include "platform/Value.h"

#include <cstdint>

namespace norla {

// How a notification is presented while the application is in front (`UNNotificationPresentationOptions`).
enum NotificationPresentationOption : std::uint32_t {
    notificationPresentationBadge = 1 << 0,
    notificationPresentationSound = 1 << 1,
    notificationPresentationAlert = 1 << 2,
    notificationPresentationList = 1 << 3,
    notificationPresentationBanner = 1 << 4,
};

// The current notification center's delegate (`UNUserNotificationCenterDelegate`). The platform finds it
// through Seam<UserNotificationCenterDelegate>; installing it there is making it the center's delegate.
// Called on any thread; each completion runs once.
class UserNotificationCenterDelegate {
public:
    virtual ~UserNotificationCenterDelegate() = default;
    // A notification arrives while the application is in front.
    virtual void willPresentNotification(
        const NotificationRequest& request, CompletionHandler<void(std::uint32_t options)> completion)
        = 0;
    // The user acted on a notification; `userInfo` is its content's user info.
    virtual void didReceiveNotificationResponse(Value userInfo, CompletionHandler<void()> completion) = 0;
};

} // namespace norla
