#pragma once

#include "platform/UserNotificationCenter.h"

#import <UserNotifications/UserNotifications.h>

@class NorlaNotificationCenterDelegate;

NS_ASSUME_NONNULL_BEGIN

namespace norla {

// The current `UNUserNotificationCenter`. Making it also makes the center's delegate, which hands
// presentation and taps to the core's delegate (Seam<UserNotificationCenterDelegate>) once it is
// installed: make it before the launch finishes, so that a tap that launched the application arrives.
class UNNotificationCenterAdapter final : public UserNotificationCenter {
public:
    UNNotificationCenterAdapter();

    void requestAuthorization(NotificationAuthorizationOptions options,
        CompletionHandler<void(bool granted, std::optional<std::string> error)> completion) override;
    void notificationSettings(CompletionHandler<void(NotificationAuthorizationStatus)> completion) override;
    void add(NotificationRequest request) override;
    void setBadgeCount(std::int64_t count) override;

private:
    UNUserNotificationCenter* m_center;
    NorlaNotificationCenterDelegate* m_delegate; // the center holds its delegate weakly
};

} // namespace norla

NS_ASSUME_NONNULL_END
