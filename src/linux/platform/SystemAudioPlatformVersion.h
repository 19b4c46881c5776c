#pragma once

#include "platform/PlatformVersion.h"

namespace norla {

// The Linux shell offers both forms of recording session, so it answers as the first platform version
// with system audio: the recorder tries the capture and falls back to the microphone when it cannot start.
class SystemAudioPlatformVersion final : public PlatformVersion {
public:
    bool isAtLeast(int major, int minor) const override
    {
        return major < systemAudioMajorVersion
            || (major == systemAudioMajorVersion && minor <= systemAudioMinorVersion);
    }
};

} // namespace norla
