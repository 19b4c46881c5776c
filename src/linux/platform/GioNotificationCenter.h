#pragma once

#include "platform/UserNotificationCenter.h"

namespace norla {

// User notifications through GIO: requests become GNotifications of the default GApplication (the
// identifier is the notification id, so a later request with the same identifier replaces the
// earlier one), the badge goes to the desktop launcher API. The desktop grants notifications without
// asking, so authorization is always "authorized". Requires the default GApplication to be
// registered; before that, requests and badges are dropped with a log line.
class GioNotificationCenter final : public UserNotificationCenter {
public:
    // The launcher entry that the badge updates: "application://<id>.desktop".
    explicit GioNotificationCenter(std::string desktopEntryId);

    void requestAuthorization(NotificationAuthorizationOptions options,
        CompletionHandler<void(bool granted, std::optional<std::string> error)> completion) override;
    void notificationSettings(CompletionHandler<void(NotificationAuthorizationStatus)> completion) override;
    void add(NotificationRequest request) override;
    void setBadgeCount(std::int64_t count) override;

    // The notification's default action: "app.notification-response" with the user info as JSON text.
    static constexpr const char* responseAction = "notification-response";

private:
    std::string m_desktopEntryId;
};

} // namespace norla
