#pragma once

#include "platform/PlatformVersion.h"

#include <mutex>
#include <string>

namespace norla {

// The platform version as the recorder reads it on Linux: where PulseAudio offers a monitor of the default
// sink (what the computer plays), the version whose capture records system audio and the microphone
// together; otherwise the version just below it, whose sessions record the microphone alone. The answer is
// found once, at the first question, and kept for the life of the process, so that one session never
// changes its form halfway.
class PulsePlatformVersion final : public PlatformVersion {
public:
    static constexpr std::string_view defaultMonitor = "@DEFAULT_MONITOR@";

    explicit PulsePlatformVersion(std::string monitorSource = std::string(defaultMonitor));

    bool isAtLeast(int major, int minor) const override;
    // Whether the monitor source could be opened for recording.
    bool capturesSystemAudio() const;

private:
    const std::string m_monitorSource;
    mutable std::once_flag m_probed;
    mutable bool m_capturesSystemAudio = false;
};

} // namespace norla
