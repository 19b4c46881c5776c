// Sessions shared with other processes: the recorder claims what it records, finishes or deletes, and keeps
// out of what someone else has claimed.
#include "RecorderTestBench.h"

#include "recording/RecorderError.h"

#include <gtest/gtest.h>

namespace norla {
namespace {

    using test::RecorderTestBench;
    using test::writeBytes;

    void makeSession(const std::filesystem::path& dir, const std::vector<std::pair<std::string, std::string>>& files)
    {
        std::filesystem::create_directories(dir);
        for (const auto& [name, content] : files)
            writeBytes(dir / name, content);
    }

    TEST(MeetingRecorderClaims, ASessionIsClaimedFromItsStartUntilItsStopHasFinishedIt)
    {
        for (auto form : { RecorderTestBench::Form::microphoneOnly, RecorderTestBench::Form::systemAudio }) {
            RecorderTestBench bench(form);
            auto& recorder = bench.make();
            ASSERT_TRUE(recorder.startAndWait());
            auto dir = *recorder.state().sessionDir;
            EXPECT_TRUE(bench.claims->isHeldHere(dir));
            if (form == RecorderTestBench::Form::systemAudio) {
                test::FakeSampleBuffer buffer;
                buffer.samples.assign(160, 0.5f);
                buffer.presentationTime = 1.0;
                bench.screenCapture->lastStream()->deliver(buffer, StreamOutputType::microphone);
            }
            auto stopped = recorder.stopAndWait();
            ASSERT_TRUE(stopped) << stopped.error().description();
            EXPECT_FALSE(bench.claims->isHeldHere(dir)) << "given up once meeting.m4a is written";
        }
    }

    TEST(MeetingRecorderClaims, AStartThatFallsBackOrFailsGivesItsDirectoryUp)
    {
        RecorderTestBench bench(RecorderTestBench::Form::systemAudio);
        bench.screenCapture->setContent(Error::platform("no screen recording"));
        auto& recorder = bench.make();
        ASSERT_TRUE(recorder.startAndWait());
        EXPECT_FALSE(bench.claims->isHeldHere(bench.session(1))) << "the failed capture's directory";
        EXPECT_FALSE(std::filesystem::exists(bench.session(1)));
        EXPECT_TRUE(bench.claims->isHeldHere(bench.session(2))) << "the microphone session's";
        ASSERT_TRUE(recorder.stopAndWait());

        bench.audioRecorders->refuseRecord(2);
        EXPECT_FALSE(recorder.startAndWait());
        EXPECT_FALSE(bench.claims->isHeldHere(bench.session(4))) << "a microphone session that did not start";
        EXPECT_FALSE(std::filesystem::exists(bench.session(4)));
    }

    TEST(MeetingRecorderClaims, SessionsClaimedElsewhereAreLeftUntouchedUntilReleased)
    {
        RecorderTestBench bench;
        auto& recorder = bench.make();
        auto root = bench.recordings();
        makeSession(root / "a-empty", {});
        makeSession(root / "b-segments", { { "segment-001.m4a", "4" } });
        makeSession(root / "c-finished", { { "meeting.m4a", "done" } });
        for (auto name : { "a-empty", "b-segments", "c-finished" })
            bench.claims->holdElsewhere(root / name);

        auto found = recorder.pendingAndWait();
        ASSERT_TRUE(found) << found.error().description();
        EXPECT_EQ(found.value(), std::nullopt) << "a claimed session is skipped";
        EXPECT_TRUE(std::filesystem::exists(root / "a-empty")) << "not even an empty one is removed";
        EXPECT_TRUE(std::filesystem::exists(root / "b-segments" / "segment-001.m4a"));
        EXPECT_EQ(bench.composer->exportCount(), 0);

        auto discarded = recorder.discard((root / "c-finished" / "meeting.m4a").string());
        ASSERT_FALSE(discarded);
        EXPECT_TRUE(discarded.error().is(RecorderError::sessionInUse));
        EXPECT_EQ(discarded.error().description(), "この録音はほかのプロセスが使っています");
        EXPECT_TRUE(std::filesystem::exists(root / "c-finished" / "meeting.m4a"));

        bench.claims->releaseElsewhere(root / "b-segments");
        EXPECT_EQ(recorder.pendingAndWait().value(), root / "b-segments" / "meeting.m4a");
        EXPECT_FALSE(bench.claims->isHeldHere(root / "b-segments")) << "given up once it was returned";
        bench.claims->releaseElsewhere(root / "c-finished");
        EXPECT_TRUE(recorder.discard((root / "c-finished" / "meeting.m4a").string()));
        EXPECT_FALSE(std::filesystem::exists(root / "c-finished"));
    }

} // namespace
} // namespace norla
