// Merging microphone segments through FFmpeg, listened to by decoding the output again with ffmpeg.
#include "platform/AudioPcmBuffer.h"
#include "platform/PosixFileHandles.h"
#include "recording/FfmpegAacFile.h"
#include "recording/FfmpegExportSession.h"
#include "recording/FfmpegMediaComposer.h"
#include "recording/MeetingRecorder.h"
#include "recording/RecorderError.h"

#include "DecodedAudio.h"
#include "FakePlatformVersion.h"
#include "FakeQueue.h"
#include "TemporaryDirectory.h"
#include "TestEnvironment.h"
#include "TrackFiles.h"

#include <gtest/gtest.h>

namespace norla {
namespace {

    namespace fs = std::filesystem;

    // A segment as the microphone recorder writes it: mono AAC at 16000 Hz and 32000 bit/s.
    void writeSegment(const fs::path& file, const std::vector<float>& samples)
    {
        AudioFormat format { AudioCommonFormat::pcmFloat32, 16000.0, 1, false };
        auto opened = FfmpegAacFile::open(file, MeetingRecorder::segmentSettings, format);
        ASSERT_TRUE(opened) << opened.error().description();
        auto buffer = AudioPcmBuffer::make(format, static_cast<std::uint32_t>(samples.size()));
        std::copy(samples.begin(), samples.end(), buffer->floatChannelData(0).begin());
        buffer->setFrameLength(static_cast<std::uint32_t>(samples.size()));
        ASSERT_TRUE(opened.value()->write(*buffer));
        ASSERT_TRUE(opened.value()->close());
    }

    class SegmentMergeListeningTest : public ::testing::Test {
    protected:
        void SetUp() override
        {
            MeetingRecorder::Dependencies dependencies;
            dependencies.queue = std::make_shared<test::FakeQueue>("recorder", m_environment.sharedClock());
            dependencies.platformVersion = std::make_shared<test::FakePlatformVersion>(18, 2);
            dependencies.mediaComposer = std::make_shared<FfmpegMediaComposer>();
            dependencies.capture.fileHandles = std::make_shared<PosixFileHandles>();
            dependencies.recordingsDirectory = [this] { return m_temporary.path(); };
            m_recorder = MeetingRecorder::make(std::move(dependencies));
            fs::create_directories(dir());
        }
        fs::path dir() const { return m_temporary.path() / "session"; }

        test::TestEnvironment m_environment;
        test::TemporaryDirectory m_temporary;
        std::shared_ptr<MeetingRecorder> m_recorder;
    };

    TEST_F(SegmentMergeListeningTest, SegmentsFollowEachOtherInOneFileAndAnUnreadableOneIsLeftOut)
    {
        writeSegment(dir() / "segment-001.m4a", test::tone(440, 0.5f, 16000));
        test::writeBytes(dir() / "segment-002.m4a", "not audio at all");
        writeSegment(dir() / "segment-003.m4a", test::tone(1000, 0.5f, 8000));
        auto first = test::probeAudioFile(dir() / "segment-001.m4a");
        auto third = test::probeAudioFile(dir() / "segment-003.m4a");
        ASSERT_TRUE(first && third);

        auto merged = m_recorder->mergeSegments(dir());
        ASSERT_TRUE(merged) << merged.error().description();
        EXPECT_EQ(merged.value(), dir() / "meeting.m4a");
        EXPECT_TRUE(MeetingRecorder::listSegments(dir()).empty());
        EXPECT_FALSE(fs::exists(dir() / FfmpegExportSession::temporaryName));

        auto facts = test::probeAudioFile(merged.value());
        ASSERT_TRUE(facts);
        EXPECT_EQ(facts->codecName, "aac");
        EXPECT_EQ(facts->sampleRate, 16000);
        EXPECT_EQ(facts->channels, 1);
        // Each file reports its encoder's priming (1024 frames, 0.064 s) in its duration; the output has one.
        EXPECT_NEAR(facts->duration, first->duration + third->duration, 0.07) << "back to back, no gap";

        auto decoded = test::decodeStereo(merged.value()).left;
        ASSERT_GE(decoded.size(), 25000u);
        std::span<const float> audio(decoded);
        EXPECT_GT(test::toneShare(audio.subspan(4000, 8000), 440), 0.9) << "the first segment";
        EXPECT_GT(test::toneShare(audio.subspan(19000, 6000), 1000), 0.9) << "the third right behind it";
    }

    TEST_F(SegmentMergeListeningTest, NothingDecodableIsAnEmptyRecordingAndTheSegmentsStay)
    {
        test::writeBytes(dir() / "segment-001.m4a", "");
        test::writeBytes(dir() / "segment-002.m4a", "truncated");
        auto merged = m_recorder->mergeSegments(dir());
        ASSERT_FALSE(merged);
        EXPECT_EQ(merged.error().description(), "録音をまとめられませんでした: 録音が空です");
        EXPECT_EQ(MeetingRecorder::listSegments(dir()).size(), 2u);
        EXPECT_FALSE(fs::exists(dir() / "meeting.m4a"));
    }

} // namespace
} // namespace norla
