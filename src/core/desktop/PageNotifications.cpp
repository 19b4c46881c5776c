#include "desktop/PageNotifications.h"

#include "platform/Seams.h"

namespace norla {

PageNotifications::PageNotifications(
    std::shared_ptr<UserNotificationCenter> center, std::shared_ptr<UuidGenerator> uuids)
    : m_center(std::move(center))
    , m_uuids(std::move(uuids))
{
}

UserNotificationCenter& PageNotifications::center() const
{
    return m_center ? *m_center : *seam<UserNotificationCenter>();
}

std::string PageNotifications::newIdentifier() const
{
    return m_uuids ? m_uuids->uuidString() : seam<UuidGenerator>()->uuidString();
}

void PageNotifications::postPageNotification(
    std::string title, std::optional<std::string> body, std::optional<std::string> tag, bool sound)
{
    NotificationRequest request;
    request.identifier = tag ? "web-" + *tag : newIdentifier();
    request.content.title = std::move(title);
    request.content.body = std::move(body);
    request.content.sound = sound;
    center().add(std::move(request));
}

void PageNotifications::postLocalNotification(std::string title, std::string body)
{
    NotificationRequest request;
    request.identifier = newIdentifier();
    request.content.title = std::move(title);
    request.content.body = std::move(body);
    center().add(std::move(request));
}

std::string PageNotifications::permissionWord(NotificationAuthorizationStatus status)
{
    switch (status) {
    case NotificationAuthorizationStatus::authorized:
    case NotificationAuthorizationStatus::provisional:
    case NotificationAuthorizationStatus::ephemeral:
        return "granted";
    case NotificationAuthorizationStatus::denied:
        return "denied";
    case NotificationAuthorizationStatus::notDetermined:
        break;
    }
    return "default";
}

void PageNotifications::notificationPermission(bool request, CompletionHandler<void(std::string word)> completion)
{
    auto center = m_center ? m_center : seam<UserNotificationCenter>();
    auto answer = [center, completion = std::move(completion)]() mutable {
        center->notificationSettings(
            [completion = std::move(completion)](
                NotificationAuthorizationStatus status) mutable { completion(permissionWord(status)); });
    };
    if (!request) {
        answer();
        return;
    }
    // Whether the user granted it, and any error of the request, show in the settings read afterwards.
    center->requestAuthorization({ .alert = true, .sound = true, .badge = true },
        [answer = std::move(answer)](bool, std::optional<std::string>) mutable { answer(); });
}

} // namespace norla
