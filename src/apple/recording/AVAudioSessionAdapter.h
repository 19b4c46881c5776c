#pragma once

#include "platform/AudioSession.h"

#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

namespace norla {

// The shared `AVAudioSession`. While it exists, the session's interruptions reach the core's default
// notification center under the same name, with the interruption type as an unsigned integer.
class AVAudioSessionAdapter final : public AudioSession {
public:
    AVAudioSessionAdapter();
    ~AVAudioSessionAdapter() override;
    AVAudioSessionAdapter(const AVAudioSessionAdapter&) = delete;
    AVAudioSessionAdapter& operator=(const AVAudioSessionAdapter&) = delete;

    Result<void> setCategory(AudioSessionCategory category, AudioSessionMode mode, std::uint32_t options) override;
    Result<void> setActive(bool active, std::uint32_t options) override;

private:
    id<NSObject> m_interruptionObserver;
};

} // namespace norla

NS_ASSUME_NONNULL_END
