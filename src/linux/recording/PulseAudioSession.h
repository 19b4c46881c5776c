#pragma once

#include "platform/AudioSession.h"

namespace norla {

// The shared audio session on Linux. PulseAudio has no session to configure: every stream mixes with the
// others and follows the user's chosen devices, which is what the recorder's category and options ask
// for, so each call succeeds without doing anything.
class PulseAudioSession final : public AudioSession {
public:
    Result<void> setCategory(AudioSessionCategory, AudioSessionMode, std::uint32_t) override { return {}; }
    Result<void> setActive(bool, std::uint32_t) override { return {}; }
};

} // namespace norla
