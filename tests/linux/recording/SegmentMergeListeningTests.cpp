// Merging microphone segments through FFmpeg, listened to by decoding the output again with ffmpeg. Which
// segments are merged, and what an unreadable one does, is the core's.
#include "platform/PosixFileHandles.h"
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

    TEST(SegmentMergeListeningTest, SegmentsFollowEachOtherInOneFile)
    {
        test::TestEnvironment environment;
        test::TemporaryDirectory temporary;
        MeetingRecorder::Dependencies dependencies;
        dependencies.queue = std::make_shared<test::FakeQueue>("recorder", environment.sharedClock());
        dependencies.platformVersion = std::make_shared<test::FakePlatformVersion>(18, 2);
        dependencies.mediaComposer = std::make_shared<FfmpegMediaComposer>();
        dependencies.capture.fileHandles = std::make_shared<PosixFileHandles>();
        auto dir = temporary.path();
        ASSERT_TRUE(test::writeSegment(dir / "segment-001.m4a", test::tone(440, 0.5f, 16000)));
        ASSERT_TRUE(test::writeSegment(dir / "segment-002.m4a", test::tone(1000, 0.5f, 8000)));

        auto merged = MeetingRecorder::make(std::move(dependencies))->mergeSegments(dir);
        ASSERT_TRUE(merged) << merged.error().description();
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
        EXPECT_GT(test::toneAmplitude(samples, 1000, 16000, 17500, 23000), 0.4) << "the second right behind it";
    }

} // namespace
} // namespace norla
