#pragma once

#include "platform/PassKey.h"
#include "platform/UserNotificationCenterDelegate.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace norla {

class MacShell;
class PushNotifications;

// The application delegate: the launch, the device token and the two notification-center callbacks. It
// hands all work to the main thread, to the desktop shell and the push controller.
class OfficeAppDelegate final : public UserNotificationCenterDelegate,
                                public std::enable_shared_from_this<OfficeAppDelegate> {
public:
    // Sound, list and banner: notifications show while the application is in front too; no badge.
    static constexpr std::uint32_t foregroundPresentationOptions
        = notificationPresentationSound | notificationPresentationList | notificationPresentationBanner;

    // Only make() constructs: instances are always shared, for shared_from_this.
    OfficeAppDelegate(PassKey<OfficeAppDelegate>, MacShell* shell, PushNotifications* push);

    // Without arguments: the shared desktop shell and push controller.
    static std::shared_ptr<OfficeAppDelegate> make(MacShell* shell = nullptr, PushNotifications* push = nullptr);

    // `application:didFinishLaunchingWithOptions:`; `remoteNotification` is the launch options' remote-
    // notification payload, when the application was launched from a notification. Answers true at once.
    bool didFinishLaunching(std::optional<Value> remoteNotification);
    void didRegisterForRemoteNotificationsWithDeviceToken(std::vector<std::uint8_t> token);

    void willPresentNotification(
        const NotificationRequest& request, CompletionHandler<void(std::uint32_t options)> completion) override;
    void didReceiveNotificationResponse(Value userInfo, CompletionHandler<void()> completion) override;

private:
    MacShell& shell() const;
    PushNotifications& push() const;

    MacShell* m_shell;
    PushNotifications* m_push;
};

} // namespace norla
