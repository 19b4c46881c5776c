#pragma once

#include "platform/CompletionHandler.h"
#include "platform/UserNotificationCenter.h"
#include "platform/UuidGenerator.h"

#include <memory>
#include <optional>
#include <string>

namespace norla {

// Notifications the shell posts to the current notification center: the page's own, the local ones of
// the desktop controllers, and the permission word the page's Notification class reports. Without an
// explicit center or UUID generator the installed seams are used.
class PageNotifications {
public:
    explicit PageNotifications(
        std::shared_ptr<UserNotificationCenter> center = nullptr, std::shared_ptr<UuidGenerator> uuids = nullptr);

    // The page's "notify": identifier "web-" + tag when there is a tag (a later one replaces it), else a
    // new UUID.
    void postPageNotification(
        std::string title, std::optional<std::string> body, std::optional<std::string> tag, bool sound);
    // A notification of the shell itself: no sound, no user info, a new UUID.
    void postLocalNotification(std::string title, std::string body);
    // "granted", "denied" or "default"; with `request` the user is asked first. Completes once, on the
    // thread on which the center answers.
    void notificationPermission(bool request, CompletionHandler<void(std::string word)> completion);

    static std::string permissionWord(NotificationAuthorizationStatus status);

    UserNotificationCenter& center() const;
    std::string newIdentifier() const;

private:
    std::shared_ptr<UserNotificationCenter> m_center;
    std::shared_ptr<UuidGenerator> m_uuids;
};

} // namespace norla
