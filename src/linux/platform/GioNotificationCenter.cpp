#include "platform/GioNotificationCenter.h"

#include "foundation/GRef.h"
#include "foundation/GUniquePtr.h"
#include "platform/MainExecutor.h"
#include "platform/SystemLog.h"

#include <gio/gio.h>

#include <algorithm>

namespace norla {

namespace {

    GApplication* registeredApplication()
    {
        GApplication* application = g_application_get_default();
        if (!application || !g_application_get_is_registered(application))
            return nullptr;
        return application;
    }

} // namespace

GioNotificationCenter::GioNotificationCenter(std::string desktopEntryId)
    : m_desktopEntryId(std::move(desktopEntryId))
{
}

void GioNotificationCenter::requestAuthorization(
    NotificationAuthorizationOptions, CompletionHandler<void(bool, std::optional<std::string>)> completion)
{
    postToMain([completion = std::move(completion)]() mutable { completion(true, std::nullopt); });
}

void GioNotificationCenter::notificationSettings(CompletionHandler<void(NotificationAuthorizationStatus)> completion)
{
    postToMain(
        [completion = std::move(completion)]() mutable { completion(NotificationAuthorizationStatus::authorized); });
}

void GioNotificationCenter::add(NotificationRequest request)
{
    GApplication* application = registeredApplication();
    if (!application) {
        logLine("GioNotificationCenter: no registered application, notification dropped");
        return;
    }
    auto notification = GRef<GNotification>::adopt(g_notification_new(request.content.title.c_str()));
    if (request.content.body)
        g_notification_set_body(notification.get(), request.content.body->c_str());
    // GNotification has no sound of its own: the desktop plays its default for a normal notification,
    // and a silent one is marked low priority so that it does not.
    g_notification_set_priority(
        notification.get(), request.content.sound ? G_NOTIFICATION_PRIORITY_NORMAL : G_NOTIFICATION_PRIORITY_LOW);
    std::string detail = std::string("app.") + responseAction;
    g_notification_set_default_action_and_target_value(
        notification.get(), detail.c_str(), g_variant_new_string(request.content.userInfo.toJSON().c_str()));
    g_application_send_notification(application, request.identifier.c_str(), notification.get());
}

void GioNotificationCenter::setBadgeCount(std::int64_t count)
{
    GApplication* application = registeredApplication();
    GDBusConnection* connection = application ? g_application_get_dbus_connection(application) : nullptr;
    if (!connection) {
        logLine("GioNotificationCenter: no session bus, badge not shown");
        return;
    }
    // The launcher API (com.canonical.Unity.LauncherEntry, read by docks and panels): a broadcast
    // signal naming our desktop entry, with the count and whether to show it.
    std::int64_t shown = std::max<std::int64_t>(count, 0);
    GVariantBuilder properties;
    g_variant_builder_init(&properties, G_VARIANT_TYPE("a{sv}"));
    g_variant_builder_add(&properties, "{sv}", "count", g_variant_new_int64(shown));
    g_variant_builder_add(&properties, "{sv}", "count-visible", g_variant_new_boolean(shown > 0));
    std::string uri = "application://" + m_desktopEntryId + ".desktop";
    std::string objectPath = "/" + m_desktopEntryId + "/LauncherEntry";
    std::replace(objectPath.begin(), objectPath.end(), '.', '/');
    GErrorPtr error;
    g_dbus_connection_emit_signal(connection, nullptr, objectPath.c_str(), "com.canonical.Unity.LauncherEntry",
        "Update", g_variant_new("(sa{sv})", uri.c_str(), &properties), GErrorOut(error));
    if (error)
        logLine(std::string("GioNotificationCenter: ") + error->message);
}

} // namespace norla
