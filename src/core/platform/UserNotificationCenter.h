#pragma once

#include "platform/CompletionHandler.h"
#include "platform/Value.h"

#include <cstdint>
#include <optional>
#include <string>

namespace norla {

// The authorization status of the notification settings.
enum class NotificationAuthorizationStatus { notDetermined, denied, authorized, provisional, ephemeral };

struct NotificationAuthorizationOptions {
    bool alert = false;
    bool sound = false;
    bool badge = false;
};

struct NotificationContent {
    std::string title;
    std::optional<std::string> body;
    bool sound = false; // the default notification sound
    Value userInfo; // an object, or null for none
};

// A request delivered at once (no trigger). A later request with the same identifier replaces it.
struct NotificationRequest {
    std::string identifier;
    NotificationContent content;
};

// The current user notification center (`UNUserNotificationCenter`). Completions run once, on a
// thread of the center's choosing, as on the platform.
class UserNotificationCenter {
public:
    virtual ~UserNotificationCenter() = default;
    virtual void requestAuthorization(NotificationAuthorizationOptions options,
        CompletionHandler<void(bool granted, std::optional<std::string> error)> completion)
        = 0;
    virtual void notificationSettings(CompletionHandler<void(NotificationAuthorizationStatus)> completion) = 0;
    // `addNotificationRequest:withCompletionHandler:` without a completion handler.
    virtual void add(NotificationRequest request) = 0;
    // `setBadgeCount:withCompletionHandler:` without a completion handler.
    virtual void setBadgeCount(std::int64_t count) = 0;
};

} // namespace norla
