// The mixdown through the real FFmpeg writer, listened to by decoding its output again with ffmpeg. What
// the mixdown decides before the writer sees a sample (clipping, silence, stale files) is the core's.
#include "platform/PosixFileHandles.h"
#include "recording/FfmpegAudioFileWriter.h"
#include "recording/Mixdown.h"

#include "DecodedAudio.h"
#include "TemporaryDirectory.h"
#include "TestEnvironment.h"
#include "TrackFiles.h"

#include <gtest/gtest.h>

namespace norla {
namespace {

    TEST(MixdownListeningTest, SystemAudioIsHeardLeftAndTheMicrophoneRightUntilEachTrackEnds)
    {
        test::TestEnvironment environment;
        test::TemporaryDirectory temporary;
        PosixFileHandles handles;
        FfmpegAudioFileWriter writer;
        auto dir = temporary.path();
        // One frame past a whole number of encoder frames: the last, short one is written too.
        constexpr std::size_t frames = 3 * 16000 + 1;
        test::writeSamples(dir / "system.f32", test::tone(440, 0.5f, frames));
        test::writeSamples(dir / "mic.f32", test::tone(1000, 0.3f, 16000 + 8000));

        auto result = mixdown(dir, handles, writer);
        ASSERT_TRUE(result.ok()) << result.error().description();
        auto audio = test::DecodedAudio::decode(result.value());
        ASSERT_TRUE(audio);
        EXPECT_EQ(audio->codec, "aac");
        EXPECT_EQ(audio->majorBrand, "M4A ");
        EXPECT_EQ(audio->sampleRate, 16000);
        ASSERT_EQ(audio->channels, 2);
        // As long as the longer track, plus at most the encoder's delay and its padding of the last frame.
        auto& left = audio->samples[0];
        auto& right = audio->samples[1];
        EXPECT_GE(left.size(), frames);
        EXPECT_LE(left.size(), frames + 2048);

        // Away from the edges, where the codec's transients do not reach.
        EXPECT_NEAR(test::toneAmplitude(left, 440, 16000, 3200, 44800), 0.5, 0.05);
        EXPECT_LT(test::toneAmplitude(left, 1000, 16000, 3200, 44800), 0.02);
        EXPECT_NEAR(test::toneAmplitude(right, 1000, 16000, 3200, 20800), 0.3, 0.05);
        EXPECT_LT(test::toneAmplitude(right, 440, 16000, 3200, 20800), 0.02);
        EXPECT_GT(test::longestSilence({ right.begin() + 27200, right.end() }, 16000, 0.002f), 1.2)
            << "the microphone ended after 1.5 s";
    }

} // namespace
} // namespace norla
