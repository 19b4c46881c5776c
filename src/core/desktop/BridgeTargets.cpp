#include "desktop/BridgeTargets.h"

#include "auth/NativeOAuth.h"
#include "desktop/BadgeNotificationService.h"
#include "desktop/MacShell.h"
#include "desktop/MeetingSessionEvents.h"
#include "desktop/PushNotifications.h"
#include "platform/Seams.h"
#include "recording/MeetingRecorder.h"
#include "recording/RecordingSchemeHandler.h"
#include "web/RecordingSchemeHandlerFactory.h"

namespace norla {

namespace {

    // The shared controllers live for the whole process: the seams only point at them.
    template <class Interface, class Object> std::shared_ptr<Interface> unowned(Object& object)
    {
        return std::shared_ptr<Interface>(std::shared_ptr<void>(), &object);
    }

    class ShellBadgeNotifications final : public BadgeNotificationService {
    public:
        explicit ShellBadgeNotifications(MacShell& shell)
            : m_shell(shell)
        {
        }
        void applyBadges(const Value::Object& counts) override { m_shell.applyBadges(BadgeCounts(counts)); }
        void postPageNotification(
            std::string title, std::optional<std::string> body, std::optional<std::string> tag, bool sound) override
        {
            m_shell.notifications().postPageNotification(std::move(title), std::move(body), std::move(tag), sound);
        }
        void notificationPermission(bool request, CompletionHandler<void(std::string word)> completion) override
        {
            m_shell.notifications().notificationPermission(request, std::move(completion));
        }

    private:
        MacShell& m_shell;
    };

    class ShellMeetingSessionEvents final : public MeetingSessionEvents {
    public:
        explicit ShellMeetingSessionEvents(MacShell& shell)
            : m_shell(shell)
        {
        }
        void recordingStarted() override { m_shell.recordingStarted(); }
        void setPaused(bool paused) override { m_shell.setPaused(paused); }
        void recordingEnded() override { m_shell.recordingEnded(); }

    private:
        MacShell& m_shell;
    };

    class RecordingSchemeHandlers final : public RecordingSchemeHandlerFactory {
    public:
        std::shared_ptr<UrlSchemeHandler> makeHandler() override { return std::make_shared<RecordingSchemeHandler>(); }
    };

} // namespace

void installBridgeTargets()
{
    // The recorder first: the bridge's recorder commands and the meeting session both reach it.
    Seam<MeetingRecorderService>::install(MeetingRecorder::shared());
    installBridgeTargets(MacShell::shared(), PushNotifications::shared(), NativeOAuth::shared());
}

void installBridgeTargets(MacShell& shell, PushNotifications& push, NativeOAuth& oauth)
{
    Seam<BadgeNotificationService>::install(std::make_shared<ShellBadgeNotifications>(shell));
    Seam<MeetingSessionEvents>::install(std::make_shared<ShellMeetingSessionEvents>(shell));
    Seam<PushNotificationsService>::install(unowned<PushNotificationsService>(push));
    Seam<NativeOAuthService>::install(unowned<NativeOAuthService>(oauth));
    Seam<RecordingSchemeHandlerFactory>::install(std::make_shared<RecordingSchemeHandlers>());
}

} // namespace norla
