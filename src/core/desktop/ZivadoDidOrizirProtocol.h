#pragma once

#include <functional>
#include <optional>
#include <string>

namespace norla {

// The menu-bar plug-in shipped beside the application: the menu-bar item, the window shortcut and the
// meeting popup. The application calls it on the main thread only. The plug-in may call the popup
// handler and the meeting watch on any thread; the application moves that work onto the main thread.
// Creating the instance (`init`) is the plug-in loader's part.
class ZivadoDidOrizirProtocol {
public:
    using Callback = std::function<void()>;
    // "start", "pause", "resume", "finish" or "dismiss"; anything else is ignored.
    using PopupHandler = std::function<void(std::string action)>;
    // "started" with the meeting's name (or none), "ended", or "permission"; anything else is ignored.
    using MeetingWatch = std::function<void(std::string event, std::optional<std::string> label)>;

    virtual ~ZivadoDidOrizirProtocol() = default;

    // Once, right after creation: `openWindow` asks for a new application window, `reload` reloads the
    // frontmost page.
    virtual void installWithOpenWindow(Callback openWindow, Callback reload) = 0;
    // The title next to the menu-bar item; none clears it.
    virtual void setBadgeTitle(std::optional<std::string> title) = 0;
    // The plug-in's own use; the application never calls it.
    virtual void toggleWindow() = 0;
    virtual void showWindow() = 0;
    virtual void startMeetingWatch(MeetingWatch watch) = 0;
    // Whether screen-capture access is granted (asking the user where the platform does).
    virtual bool requestScreenCaptureAccess() = 0;
    // Phase "invite", "recording", "paused", "error" or "permission"; the label is the meeting's name.
    virtual void showMeetingPopupWithPhase(std::string phase, std::string label, std::optional<std::string> message)
        = 0;
    virtual void hideMeetingPopup() = 0;
    virtual bool meetingPopupVisible() const = 0;
    virtual void setMeetingPopupHandler(PopupHandler handler) = 0;
};

} // namespace norla
