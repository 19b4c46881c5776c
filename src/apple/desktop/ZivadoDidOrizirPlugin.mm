#include "desktop/ZivadoDidOrizirPlugin.h"

#include "foundation/FoundationConversions.h"

namespace norla {

void ZivadoDidOrizirPlugin::installWithOpenWindow(Callback openWindow, Callback reload)
{
    [m_instance
        installWithOpenWindow:^{
            if (openWindow)
                openWindow();
        }
        reload:^{
            if (reload)
                reload();
        }];
}

void ZivadoDidOrizirPlugin::setBadgeTitle(std::optional<std::string> title)
{
    [m_instance setBadgeTitle:title ? toNSString(*title) : nil];
}

void ZivadoDidOrizirPlugin::toggleWindow() { [m_instance toggleWindow]; }

void ZivadoDidOrizirPlugin::showWindow() { [m_instance showWindow]; }

void ZivadoDidOrizirPlugin::startMeetingWatch(MeetingWatch watch)
{
    [m_instance startMeetingWatch:^(NSString* event, NSString* _Nullable label) {
        if (!watch)
            return;
        std::optional<std::string> text;
        if (label)
            text = toString(label);
        watch(toString(event), std::move(text));
    }];
}

bool ZivadoDidOrizirPlugin::requestScreenCaptureAccess() { return [m_instance requestScreenCaptureAccess] == YES; }

void ZivadoDidOrizirPlugin::showMeetingPopupWithPhase(
    std::string phase, std::string label, std::optional<std::string> message)
{
    [m_instance showMeetingPopupWithPhase:toNSString(phase)
                                    label:toNSString(label)
                                  message:message ? toNSString(*message) : nil];
}

void ZivadoDidOrizirPlugin::hideMeetingPopup() { [m_instance hideMeetingPopup]; }

bool ZivadoDidOrizirPlugin::meetingPopupVisible() const { return m_instance.meetingPopupVisible == YES; }

void ZivadoDidOrizirPlugin::setMeetingPopupHandler(PopupHandler handler)
{
    [m_instance setMeetingPopupHandler:^(NSString* action) {
        if (handler)
            handler(toString(action));
    }];
}

} // namespace norla
