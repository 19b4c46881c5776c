#pragma once

#include "DecodedAudio.h"
#include "recording/MeetingRecorder.h"
#include "recording/SystemAudioCapture.h"

#include <gtest/gtest.h>

namespace norla::test {

// The tones the recording tests play at 16000 Hz: one as the computer's sound, one into the virtual
// microphone, and two more only while a recording is paused, none of which may reach the file.
inline constexpr double systemTone = 440;
inline constexpr double microphoneTone = 1000;
inline constexpr double pausedSystemTone = 2000;
inline constexpr double pausedMicrophoneTone = 2500;

// A decoded meeting of a system-audio session: the system tone on the left and the microphone tone on the
// right throughout, neither in the other's channel, and no paused tone anywhere.
inline void expectSystemLeftMicrophoneRight(const DecodedAudio& audio)
{
    ASSERT_EQ(audio.channels, 2);
    ASSERT_EQ(audio.sampleRate, 16000);
    const auto& left = audio.samples[0];
    const auto& right = audio.samples[1];
    EXPECT_GT(medianToneAmplitude(left, systemTone, 16000), 0.3);
    EXPECT_GT(medianToneAmplitude(right, microphoneTone, 16000), 0.3);
    for (auto tone : { microphoneTone, pausedSystemTone })
        EXPECT_LT(largestToneAmplitude(left, tone, 16000), 0.05) << tone;
    for (auto tone : { systemTone, pausedMicrophoneTone })
        EXPECT_LT(largestToneAmplitude(right, tone, 16000), 0.05) << tone;
}

// Whether the recorder's capture has its timeline's origin: from then on every moment is in the file.
inline bool captureHasAudio(MeetingRecorder& recorder)
{
    auto capture = recorder.capture();
    return capture && capture->queue().sync([&] { return capture->origin().has_value(); });
}

} // namespace norla::test
