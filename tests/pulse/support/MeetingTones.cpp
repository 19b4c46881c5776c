#include "MeetingTones.h"

#include "recording/SystemAudioCapture.h"

#include <gtest/gtest.h>

namespace norla::test {

void expectSystemLeftMicrophoneRight(const DecodedAudio& audio)
{
    ASSERT_EQ(audio.channels, 2);
    ASSERT_EQ(audio.sampleRate, 16000);
    const auto& left = audio.samples[0];
    const auto& right = audio.samples[1];
    EXPECT_GT(medianToneAmplitude(left, systemTone, 16000), 0.3);
    EXPECT_LT(largestToneAmplitude(left, microphoneTone, 16000), 0.05);
    EXPECT_GT(medianToneAmplitude(right, microphoneTone, 16000), 0.3);
    EXPECT_LT(largestToneAmplitude(right, systemTone, 16000), 0.05);
    EXPECT_LT(largestToneAmplitude(left, pausedSystemTone, 16000), 0.05);
    EXPECT_LT(largestToneAmplitude(right, pausedMicrophoneTone, 16000), 0.05);
}

bool captureHasAudio(MeetingRecorder& recorder)
{
    auto capture = recorder.capture();
    return capture && capture->queue().sync([&] { return capture->origin().has_value(); });
}

} // namespace norla::test
