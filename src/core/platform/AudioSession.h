#pragma once

#include "platform/Result.h"

#include <cstdint>
#include <string_view>

namespace norla {

enum class AudioSessionCategory {
    playAndRecord,
};

enum class AudioSessionMode {
    spokenAudio,
};

// Category options, as the platform numbers them.
namespace AudioSessionCategoryOptions {
    inline constexpr std::uint32_t mixWithOthers = 1;
    inline constexpr std::uint32_t allowBluetooth = 4;
    inline constexpr std::uint32_t defaultToSpeaker = 8;
} // namespace AudioSessionCategoryOptions

// Options of setActive, as the platform numbers them.
namespace AudioSessionSetActiveOptions {
    inline constexpr std::uint32_t notifyOthersOnDeactivation = 1;
} // namespace AudioSessionSetActiveOptions

// The process's shared audio session (AVAudioSession sharedInstance). Failures carry the platform's text.
class AudioSession {
public:
    virtual ~AudioSession() = default;
    virtual Result<void> setCategory(AudioSessionCategory category, AudioSessionMode mode, std::uint32_t options) = 0;
    virtual Result<void> setActive(bool active, std::uint32_t options) = 0;
};

// Posted on the default notification center when another audio user interrupts the session and when the
// interruption ends. User info: the type under audioSessionInterruptionTypeKey, an unsigned integer.
inline constexpr std::string_view audioSessionInterruptionNotification = "AVAudioSessionInterruptionNotification";
inline constexpr std::string_view audioSessionInterruptionTypeKey = "AVAudioSessionInterruptionTypeKey";

enum class AudioSessionInterruptionType : std::uint64_t {
    ended = 0,
    began = 1,
};

} // namespace norla
