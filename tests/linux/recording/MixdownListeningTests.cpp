// The mixdown through the real FFmpeg writer, listened to by decoding its output again with ffmpeg.
#include "platform/PosixFileHandles.h"
#include "platform/Seams.h"
#include "recording/CaptureError.h"
#include "recording/FfmpegAudioFileWriter.h"
#include "recording/Mixdown.h"

#include "DecodedAudio.h"
#include "FaultyFileHandles.h"
#include "TemporaryDirectory.h"
#include "TestEnvironment.h"
#include "TrackFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <span>

namespace norla {
namespace {

    namespace fs = std::filesystem;

    class MixdownListeningTest : public ::testing::Test {
    protected:
        void SetUp() override
        {
            Seam<FileHandles>::install(m_handles);
            Seam<AudioFileWriter>::install(std::make_shared<FfmpegAudioFileWriter>());
        }
        void TearDown() override
        {
            Seam<FileHandles>::install(nullptr);
            Seam<AudioFileWriter>::install(nullptr);
        }

        fs::path dir() const { return m_temporary.path(); }
        fs::path system() const { return dir() / "system.f32"; }
        fs::path mic() const { return dir() / "mic.f32"; }
        fs::path meeting() const { return dir() / "meeting.m4a"; }

        // Mixes, expects success and decodes the result.
        test::DecodedStereo mixAndDecode()
        {
            auto result = mixdown(dir(), *seam<FileHandles>(), *seam<AudioFileWriter>());
            EXPECT_TRUE(result.ok()) << (result.ok() ? "" : result.error().description());
            EXPECT_EQ(result.ok() ? result.value() : fs::path(), meeting());
            return test::decodeStereo(meeting());
        }

        test::TestEnvironment m_environment;
        test::TemporaryDirectory m_temporary;
        std::shared_ptr<test::FaultyFileHandles> m_handles
            = std::make_shared<test::FaultyFileHandles>(std::make_shared<PosixFileHandles>());
    };

    // The file lasts as long as the longer track, plus at most the encoder's delay and its padding of the
    // last frame (a 1024-sample frame each), which fragmented files keep.
    void expectLength(const fs::path& file, const test::DecodedStereo& decoded, std::size_t frames)
    {
        auto facts = test::probeAudioFile(file);
        ASSERT_TRUE(facts);
        EXPECT_GE(facts->duration * 16000, static_cast<double>(frames) - 0.5);
        EXPECT_LE(facts->duration * 16000, static_cast<double>(frames + 2048) + 0.5);
        EXPECT_GE(decoded.left.size(), frames);
        EXPECT_LE(decoded.left.size(), frames + 2048);
        EXPECT_EQ(decoded.left.size(), decoded.right.size());
    }

    std::span<const float> seconds(const std::vector<float>& samples, double from, double to)
    {
        auto begin = static_cast<std::size_t>(from * 16000);
        auto end = std::min(samples.size(), static_cast<std::size_t>(to * 16000));
        return std::span<const float>(samples).subspan(begin, end > begin ? end - begin : 0);
    }

    TEST_F(MixdownListeningTest, SystemAudioIsHeardLeftAndTheMicrophoneRightUntilEachTrackEnds)
    {
        test::writeSamples(system(), test::tone(440, 0.5f, 3 * 16000));
        test::writeSamples(mic(), test::tone(1000, 0.3f, 16000 + 8000));

        auto decoded = mixAndDecode();
        auto facts = test::probeAudioFile(meeting());
        ASSERT_TRUE(facts);
        EXPECT_EQ(facts->codecName, "aac");
        EXPECT_EQ(facts->profile, "LC");
        EXPECT_EQ(facts->sampleRate, 16000);
        EXPECT_EQ(facts->channels, 2);
        EXPECT_NE(facts->formatName.find("m4a"), std::string::npos);
        EXPECT_EQ(facts->majorBrand, "M4A ");
        expectLength(meeting(), decoded, 3 * 16000);

        // Whole seconds away from the edges, where the codec's transients do not reach.
        auto left = seconds(decoded.left, 0.2, 2.8);
        EXPECT_NEAR(test::rms(left), 0.5 / std::sqrt(2.0), 0.03);
        EXPECT_GT(test::toneShare(left, 440), 0.9);
        EXPECT_LT(test::toneShare(left, 1000), 0.01);

        auto rightWhileTalking = seconds(decoded.right, 0.2, 1.3);
        EXPECT_NEAR(test::rms(rightWhileTalking), 0.3 / std::sqrt(2.0), 0.03);
        EXPECT_GT(test::toneShare(rightWhileTalking, 1000), 0.9);
        EXPECT_LT(test::toneShare(rightWhileTalking, 440), 0.01);

        // The microphone ended after 1.5 s: silence from there on.
        EXPECT_LT(test::rms(seconds(decoded.right, 1.7, 3.0)), 0.002);

        EXPECT_FALSE(fs::exists(system()));
        EXPECT_FALSE(fs::exists(mic()));
        EXPECT_FALSE(fs::exists(dir() / "meeting.partial.m4a"));

        // A second mixdown finds the finished file and leaves it as it is.
        auto before = test::readBytes(meeting());
        auto again = mixdown(dir(), *seam<FileHandles>(), *seam<AudioFileWriter>());
        ASSERT_TRUE(again.ok());
        EXPECT_EQ(test::readBytes(meeting()), before);
    }

    TEST_F(MixdownListeningTest, LoudSamplesAreClippedAtFullScale)
    {
        // A sine of peak 3 clipped at ±1 is nearly a square wave of level 1; unclipped its RMS would be 2.1.
        test::writeSamples(system(), test::tone(300, 3.0f, 2 * 16000));
        test::writeSamples(mic(), test::tone(300, 0.5f, 2 * 16000));

        auto decoded = mixAndDecode();
        auto clipped = seconds(decoded.left, 0.2, 1.8);
        EXPECT_GT(test::rms(clipped), 0.85);
        EXPECT_LT(test::rms(clipped), 1.05);
        EXPECT_NEAR(test::rms(seconds(decoded.right, 0.2, 1.8)), 0.5 / std::sqrt(2.0), 0.03);
    }

    TEST_F(MixdownListeningTest, SilenceWritesNothing)
    {
        test::writeSamples(system(), std::vector<float>(32000, 0.0f));
        test::writeSamples(mic(), std::vector<float>(16000, 0.00005f));

        auto result = mixdown(dir(), *seam<FileHandles>(), *seam<AudioFileWriter>());
        ASSERT_FALSE(result.ok());
        EXPECT_TRUE(result.error().is(CaptureError::empty));
        EXPECT_FALSE(fs::exists(meeting()));
        EXPECT_FALSE(fs::exists(dir() / "meeting.partial.m4a"));
        EXPECT_TRUE(fs::exists(system()));
        EXPECT_TRUE(fs::exists(mic()));
    }

    TEST_F(MixdownListeningTest, AStalePartialFileFromAnInterruptedRunIsReplaced)
    {
        test::writeBytes(dir() / "meeting.partial.m4a", std::string(100000, 'x'));
        test::writeSamples(mic(), test::tone(1000, 0.3f, 16000));

        auto decoded = mixAndDecode();
        EXPECT_FALSE(fs::exists(dir() / "meeting.partial.m4a"));
        expectLength(meeting(), decoded, 16000);
        EXPECT_NEAR(test::rms(seconds(decoded.right, 0.2, 0.8)), 0.3 / std::sqrt(2.0), 0.03);
        EXPECT_LT(test::rms(decoded.left), 0.002);
    }

    TEST_F(MixdownListeningTest, OutputLengthFollowsTheSampleCountAcrossTheChunkBoundary)
    {
        for (std::size_t count : { std::size_t(16000), std::size_t(16001), std::size_t(16000 + 1024) }) {
            SCOPED_TRACE(count);
            fs::remove(meeting());
            test::writeSamples(mic(), test::tone(500, 0.4f, count));
            auto decoded = mixAndDecode();
            expectLength(meeting(), decoded, count);
        }
    }

    TEST_F(MixdownListeningTest, TrailingBytesOfATrackAreIgnored)
    {
        auto samples = test::tone(700, 0.4f, 8000);
        auto bytes = std::string(reinterpret_cast<const char*>(samples.data()), samples.size() * sizeof(float));
        test::writeBytes(mic(), bytes + "\x7f\x7f\x7f");

        auto decoded = mixAndDecode();
        expectLength(meeting(), decoded, 8000);
        EXPECT_NEAR(test::rms(seconds(decoded.right, 0.1, 0.4)), 0.4 / std::sqrt(2.0), 0.03);
    }

} // namespace
} // namespace norla
