#include "desktop/OfficeAppDelegate.h"

#include "desktop/MacShell.h"
#include "desktop/PushNotifications.h"
#include "platform/MainExecutor.h"
#include "platform/Seams.h"

namespace norla {

std::shared_ptr<OfficeAppDelegate> OfficeAppDelegate::make(MacShell* shell, PushNotifications* push)
{
    return std::make_shared<OfficeAppDelegate>(PassKey<OfficeAppDelegate>(), shell, push);
}

OfficeAppDelegate::OfficeAppDelegate(PassKey<OfficeAppDelegate>, MacShell* shell, PushNotifications* push)
    : m_shell(shell)
    , m_push(push)
{
}

MacShell& OfficeAppDelegate::shell() const { return m_shell ? *m_shell : MacShell::shared(); }

PushNotifications& OfficeAppDelegate::push() const { return m_push ? *m_push : PushNotifications::shared(); }

bool OfficeAppDelegate::didFinishLaunching(std::optional<Value> remoteNotification)
{
    Seam<UserNotificationCenterDelegate>::install(shared_from_this());
    postToMain([self = shared_from_this(), remoteNotification = std::move(remoteNotification)] {
        self->shell().installPlugin();
        self->push().authorizeAndRegister();
        if (remoteNotification && remoteNotification->isObject())
            self->push().handleNotificationPayload(*remoteNotification);
    });
    return true;
}

void OfficeAppDelegate::didRegisterForRemoteNotificationsWithDeviceToken(std::vector<std::uint8_t> token)
{
    postToMain([self = shared_from_this(), token = std::move(token)] { self->push().storeDeviceToken(token); });
}

void OfficeAppDelegate::willPresentNotification(
    const NotificationRequest&, CompletionHandler<void(std::uint32_t options)> completion)
{
    postToMain([completion = std::move(completion)]() mutable { completion(foregroundPresentationOptions); });
}

void OfficeAppDelegate::didReceiveNotificationResponse(Value userInfo, CompletionHandler<void()> completion)
{
    postToMain(
        [self = shared_from_this(), userInfo = std::move(userInfo), completion = std::move(completion)]() mutable {
            self->push().handleNotificationPayload(userInfo);
            completion();
        });
}

} // namespace norla
