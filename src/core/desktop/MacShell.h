#pragma once

#include "desktop/BadgeCounts.h"
#include "desktop/MeetingSession.h"
#include "desktop/PageNotifications.h"
#include "desktop/PluginLoader.h"
#include "desktop/ZivadoDidOrizirProtocol.h"
#include "platform/NotificationCenter.h"
#include "platform/PassKey.h"
#include "platform/SharedApplication.h"
#include "platform/TaskQueue.h"
#include "platform/Url.h"
#include "recording/MeetingRecorderService.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace norla {

// The desktop-integration controller: holds the menu-bar plug-in, keeps the page told whether the
// application is in the background and whether a meeting is recorded, drives meetings offered from the
// menu bar, and shows the page's badge counters. It never touches a web view: it posts the in-process
// notifications, and opens the record page through the push controller's openInternalURL. Used on the
// main thread only; the plug-in's callbacks and the timer only post work there.
class MacShell : public std::enable_shared_from_this<MacShell> {
public:
    static constexpr Duration recordingTimeLimit = std::chrono::seconds(14400);
    static constexpr const char* pluginUnavailableLine
        = "MacShell: ZivadoDidOrizir を読み込めません（メニューバーと ⌘⇧O は無しで続ける）";
    static constexpr const char* timeLimitLine = "MacShell: 録音が4時間の上限に達したため自動停止します";
    static constexpr const char* recordPagePath = "/meeting-notes/record?mode=desktop-app";

    // What the controller works with. Members left empty are taken from the installed seams at use
    // (Seam<MeetingRecorderService>, Seam<SharedApplication>, Seam<PluginLoader> where none means no
    // plug-in); the timer queue and openInternalURL must be given.
    struct Dependencies {
        std::shared_ptr<MeetingRecorderService> recorder;
        std::shared_ptr<SharedApplication> application;
        std::shared_ptr<PluginLoader> pluginLoader;
        std::shared_ptr<UserNotificationCenter> notificationCenter;
        std::shared_ptr<UuidGenerator> uuids;
        // Runs the limit timer; its firing only posts to the main thread.
        std::shared_ptr<TaskQueue> timerQueue;
        std::function<void(const Url&)> openInternalURL;
    };

    // Only make() constructs: instances are always shared, for shared_from_this.
    MacShell(PassKey<MacShell>, Dependencies dependencies);

    // The process-wide instance, created on first use.
    static MacShell& shared();
    static std::shared_ptr<MacShell> make(Dependencies dependencies);
    ~MacShell();
    MacShell(const MacShell&) = delete;
    MacShell& operator=(const MacShell&) = delete;

    // Loads the menu-bar plug-in and, when it loads, registers the system observers. Once, at launch.
    void installPlugin();
    void setRecordingActive(bool active);

    // The meeting session.
    void handlePopupAction(const std::string& action);
    void handleMeetingWatchEvent(const std::string& event, const std::optional<std::string>& label);
    void recordingStarted();
    void setPaused(bool paused);
    void recordingEnded();
    void finishRecording();
    void timeLimitReached();
    void postLocalNotification(std::string title, std::string body);

    // Badges.
    void applyBadges(const BadgeCounts& counts);
    PageNotifications& notifications() { return m_notifications; }

    ZivadoDidOrizirProtocol* plugin() const { return m_plugin.get(); }
    const std::optional<BadgeCounts>& last() const { return m_last; }
    const MeetingSession& session() const { return m_session; }
    bool hasLimitTimer() const { return m_limitTimer.isActive(); }

private:
    MeetingRecorderService& recorder() const;
    void show(const std::string& phase, const std::string& label, std::optional<std::string> message);
    void hidePopup();
    void registerSystemObservers();
    void invalidateLimitTimer();
    void didStop(const Result<std::string>& result);
    // Runs `work` on the main thread later, while this controller still exists.
    void later(std::function<void(MacShell&)> work);

    Dependencies m_dependencies;
    PageNotifications m_notifications;
    std::unique_ptr<ZivadoDidOrizirProtocol> m_plugin;
    std::optional<BadgeCounts> m_last;
    MeetingSession m_session;
    Timer m_limitTimer;
    // Tells a firing that was already on its way from the timer's queue whether it is still current.
    std::uint64_t m_limitGeneration = 0;
    std::vector<ObserverToken> m_observers;
};

} // namespace norla
