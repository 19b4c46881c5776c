#pragma once

namespace norla {

// The meeting-session side of the desktop shell (`MacShell.shared`) that hears about recordings the page
// starts, pauses and stops. Installed through Seam<MeetingSessionEvents>; without one, nobody listens.
// Called on the main thread.
class MeetingSessionEvents {
public:
    virtual ~MeetingSessionEvents() = default;
    virtual void recordingStarted() = 0;
    virtual void setPaused(bool paused) = 0;
    virtual void recordingEnded() = 0;
};

} // namespace norla
