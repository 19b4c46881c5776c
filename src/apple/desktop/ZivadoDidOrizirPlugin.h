#pragma once

#include "desktop/NorlaPluginProtocol.h"
#include "desktop/ZivadoDidOrizirProtocol.h"

NS_ASSUME_NONNULL_BEGIN

namespace norla {

// The plug-in's principal-class instance as the core's plug-in interface: callbacks become blocks,
// strings NSStrings. Main thread only; the core moves the plug-in's own calls onto the main thread.
class ZivadoDidOrizirPlugin final : public ZivadoDidOrizirProtocol {
public:
    explicit ZivadoDidOrizirPlugin(id<ZivadoDidOrizirProtocol> instance)
        : m_instance(instance)
    {
    }

    void installWithOpenWindow(Callback openWindow, Callback reload) override;
    void setBadgeTitle(std::optional<std::string> title) override;
    void toggleWindow() override;
    void showWindow() override;
    void startMeetingWatch(MeetingWatch watch) override;
    bool requestScreenCaptureAccess() override;
    void showMeetingPopupWithPhase(std::string phase, std::string label, std::optional<std::string> message) override;
    void hideMeetingPopup() override;
    bool meetingPopupVisible() const override;
    void setMeetingPopupHandler(PopupHandler handler) override;

private:
    id<ZivadoDidOrizirProtocol> m_instance;
};

} // namespace norla

NS_ASSUME_NONNULL_END
