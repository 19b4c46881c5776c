// Sessions shared with other processes: the recorder claims what it records, finishes or deletes, and keeps
// out of what someone else has claimed.
#include "RecorderTestBench.h"

#include "recording/RecorderError.h"

#include <gtest/gtest.h>

namespace norla {
namespace {

    using test::makeSession;
    using test::RecorderTestBench;

    TEST(MeetingRecorderClaimTest, SessionsClaimedElsewhereAreLeftUntouchedUntilReleased)
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
