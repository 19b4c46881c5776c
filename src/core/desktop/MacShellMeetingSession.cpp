// The meeting-session side of MacShell: popup actions, meeting events, the recording time limit and
// saving a recording stopped from the desktop.
#include "desktop/MacShell.h"

#include "app/AppURL.h"
#include "platform/MainExecutor.h"
#include "platform/SystemLog.h"

namespace norla {

void MacShell::show(const std::string& phase, const std::string& label, std::optional<std::string> message)
{
    if (m_plugin)
        m_plugin->showMeetingPopupWithPhase(phase, label, std::move(message));
}

void MacShell::hidePopup()
{
    if (m_plugin)
        m_plugin->hideMeetingPopup();
}

void MacShell::handlePopupAction(const std::string& action)
{
    auto label = m_session.displayLabel();
    if (action == "start") {
        // A second start while recording fails in the recorder, which shows its own error.
        recorder().start([weak = weak_from_this(), label](Result<void> result) {
            postToMain([weak, label, result = std::move(result)] {
                auto self = weak.lock();
                if (!self)
                    return;
                if (result)
                    self->recordingStarted();
                else
                    self->show("error", label, result.error().description());
            });
        });
    } else if (action == "pause" || action == "resume") {
        bool pausing = action == "pause";
        auto result = pausing ? recorder().pause() : recorder().resume();
        if (result)
            setPaused(pausing);
        else
            show(m_session.pausedPhase(), label, result.error().description());
    } else if (action == "finish") {
        finishRecording();
    } else if (action == "dismiss") {
        m_session.dismissed = true;
        m_session.needsPermission = false;
        hidePopup();
    }
}

void MacShell::handleMeetingWatchEvent(const std::string& event, const std::optional<std::string>& label)
{
    if (event == "started") {
        bool wasPaused = m_session.paused;
        m_session = MeetingSession { .label = label };
        std::string phase = "invite";
        if (recorder().isRecording()) {
            m_session.recording = true;
            m_session.paused = wasPaused;
            phase = m_session.pausedPhase();
        }
        show(phase, m_session.displayLabel(), std::nullopt);
    } else if (event == "ended") {
        bool wasRecording = m_session.recording || recorder().isRecording();
        m_session = MeetingSession {};
        hidePopup();
        if (wasRecording)
            later([](MacShell& self) { self.finishRecording(); });
    } else if (event == "permission") {
        if (m_session.needsPermission || m_session.recording || m_session.dismissed)
            return;
        m_session.needsPermission = true;
        if (!m_plugin)
            return;
        if (m_plugin->requestScreenCaptureAccess()) {
            m_session.needsPermission = false;
            return;
        }
        show("permission", "", std::nullopt);
    }
}

void MacShell::recordingStarted()
{
    m_session.recording = true;
    m_session.paused = false;
    m_session.needsPermission = false;
    show("recording", m_session.displayLabel(), std::nullopt);
    setRecordingActive(true);

    // Counts from the latest start, pauses included.
    invalidateLimitTimer();
    auto generation = m_limitGeneration;
    m_limitTimer = m_dependencies.timerQueue->asyncAfter(recordingTimeLimit, [weak = weak_from_this(), generation] {
        postToMain([weak, generation] {
            auto self = weak.lock();
            if (self && self->m_limitGeneration == generation)
                self->timeLimitReached();
        });
    });
}

void MacShell::setPaused(bool paused)
{
    m_session.paused = paused;
    // A hidden popup is not reopened.
    if (m_plugin && m_plugin->meetingPopupVisible())
        show(m_session.pausedPhase(), m_session.displayLabel(), std::nullopt);
}

void MacShell::invalidateLimitTimer()
{
    m_limitTimer.cancel();
    ++m_limitGeneration;
}

void MacShell::recordingEnded()
{
    m_session.recording = false;
    m_session.paused = false;
    invalidateLimitTimer();
    hidePopup();
    setRecordingActive(false);
}

void MacShell::timeLimitReached()
{
    logLine(timeLimitLine);
    finishRecording();
}

void MacShell::finishRecording()
{
    if (!recorder().isRecording()) {
        recordingEnded();
        return;
    }
    recorder().stop([weak = weak_from_this()](Result<std::string> result) {
        postToMain([weak, result = std::move(result)] {
            if (auto self = weak.lock())
                self->didStop(result);
        });
    });
}

void MacShell::didStop(const Result<std::string>& result)
{
    recordingEnded();
    if (!result) {
        postLocalNotification("録音を保存できませんでした", result.error().description());
        return;
    }
    postLocalNotification("会議の録音を保存しました", "Vantorelで議事録への保存を始めます。");
    // The recording stays on disk as a pending recording; the record page collects it.
    if (auto recordPage = resolveUrl(resolveAppURL(), recordPagePath); recordPage && m_dependencies.openInternalURL)
        m_dependencies.openInternalURL(*recordPage);
    if (m_plugin)
        m_plugin->showWindow();
}

} // namespace norla
