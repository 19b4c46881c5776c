#pragma once

namespace norla {

// The version of the platform as its iPad-compatible application layer numbers it.
class PlatformVersion {
public:
    virtual ~PlatformVersion() = default;
    virtual bool isAtLeast(int major, int minor) const = 0;
};

// The first version whose screen capture also delivers system audio and the microphone.
inline constexpr int systemAudioMajorVersion = 18;
inline constexpr int systemAudioMinorVersion = 2;

} // namespace norla
