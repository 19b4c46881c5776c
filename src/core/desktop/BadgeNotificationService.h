#pragma once

#include "platform/CompletionHandler.h"
#include "platform/Value.h"

#include <optional>
#include <string>

namespace norla {

// The badge and page-notification operations of the desktop shell (`MacShell.shared`) that the page's
// "badges", "notify" and permission commands reach. Installed through Seam<BadgeNotificationService>.
// Called on the main thread.
class BadgeNotificationService {
public:
    virtual ~BadgeNotificationService() = default;
    // Decodes the page's `counts` object into badge counts (`BadgeCounts(dictionary:)`) and applies them.
    virtual void applyBadges(const Value::Object& counts) = 0;
    virtual void postPageNotification(
        std::string title, std::optional<std::string> body, std::optional<std::string> tag, bool sound)
        = 0;
    // The permission word ("granted", "denied" or "default"); with `request` the user is asked first.
    // The completion runs once, on any thread.
    virtual void notificationPermission(bool request, CompletionHandler<void(std::string word)> completion) = 0;
};

} // namespace norla
