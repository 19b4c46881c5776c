// Merging microphone segments through FFmpeg, listened to by decoding the output again with ffmpeg.
#include "platform/PosixFileHandles.h"
#include "recording/FfmpegExportSession.h"
#include "recording/FfmpegMediaComposer.h"
#include "recording/MeetingRecorder.h"

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

    TEST(SegmentMergeListeningTest, SegmentsFollowEachOtherInOneFileAndAnUnreadableOneIsLeftOut)
    {
        test::TestEnvironment environment;
        test::TemporaryDirectory temporary;
        MeetingRecorder::Dependencies dependencies;
        dependencies.queue = std::make_shared<test::FakeQueue>("recorder", environment.sharedClock());
        dependencies.platformVersion = std::make_shared<test::FakePlatformVersion>(18, 2);
        dependencies.mediaComposer = std::make_shared<FfmpegMediaComposer>();
        dependencies.capture.fileHandles = std::make_shared<PosixFileHandles>();
        dependencies.recordingsDirectory = [&] { return temporary.path(); };
        auto recorder = MeetingRecorder::make(std::move(dependencies));
        auto dir = temporary.path() / "session";
        fs::create_directories(dir);
        ASSERT_TRUE(test::writeSegment(dir / "segment-001.m4a", test::tone(440, 0.5f, 16000)));
        test::writeBytes(dir / "segment-002.m4a", "not audio at all");
        ASSERT_TRUE(test::writeSegment(dir / "segment-003.m4a", test::tone(1000, 0.5f, 8000)));

        auto merged = recorder->mergeSegments(dir);
        ASSERT_TRUE(merged) << merged.error().description();
        EXPECT_EQ(merged.value(), dir / "meeting.m4a");
        EXPECT_TRUE(MeetingRecorder::listSegments(dir).empty());
        EXPECT_FALSE(fs::exists(dir / FfmpegExportSession::temporaryName));

        auto audio = test::DecodedAudio::decode(merged.value());
        ASSERT_TRUE(audio);
        EXPECT_EQ(audio->codec, "aac");
        EXPECT_EQ(audio->sampleRate, 16000);
        ASSERT_EQ(audio->channels, 1);
        // Back to back, no gap: the segments' 1.5 s plus one encoder's delay and padding of the last frame
        // (1024 frames each) at most, where a second priming or a gap would add more.
        EXPECT_GE(audio->duration(), 1.5);
        EXPECT_LE(audio->duration(), 1.5 + 2048.0 / 16000);
        auto& samples = audio->samples[0];
        EXPECT_GT(test::toneAmplitude(samples, 440, 16000, 4000, 12000), 0.4) << "the first segment";
        EXPECT_GT(test::toneAmplitude(samples, 1000, 16000, 17500, 23000), 0.4) << "the third right behind it";
    }

} // namespace
} // namespace norla
