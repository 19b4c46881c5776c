// norla-rec processes started together on one session: one finishes it, the others keep out, and every
// segment's audio ends up in meeting.m4a.
#include "RecTool.h"
#include "platform/PosixSessionClaims.h"
#include "recording/FfmpegAudioProbe.h"
#include "recording/MeetingRecorder.h"

#include "DecodedAudio.h"
#include "TemporaryDirectory.h"
#include "TrackFiles.h"

#include <gtest/gtest.h>

namespace norla {
namespace {

    namespace fs = std::filesystem;

    constexpr int segmentCount = 3;
    constexpr double segmentSeconds = 8;
    constexpr std::string_view claimedMessage = "この録音はほかのプロセスが使っています\n";

    class SessionClaimRaceTest : public ::testing::Test {
    protected:
        fs::path makeSession(const fs::path& dir)
        {
            fs::create_directories(dir);
            for (int i = 0; i < segmentCount; ++i) {
                auto samples = test::tone(330.0 + 110.0 * i, 0.5f, std::size_t(segmentSeconds * 16000));
                EXPECT_TRUE(test::writeSegment(dir / ("segment-00" + std::to_string(i + 1) + ".m4a"), samples));
            }
            return dir;
        }

        test::TemporaryDirectory m_temporary { "norla-rec-race" };
    };

    // Each round starts two merges or two pending runs of one session at once, in turn.
    TEST_F(SessionClaimRaceTest, TwoRunsOnOneSessionLoseNoSegment)
    {
        for (int round = 0; round < 16; ++round) {
            SCOPED_TRACE("round " + std::to_string(round));
            auto root = m_temporary.path() / ("root-" + std::to_string(round));
            auto dir = makeSession(root / "0f6e3c1a-0000-4000-8000-000000000001");
            std::vector<std::string> command { "merge", dir.string() };
            if (round % 2)
                command = { "pending", "--root", root.string() };
            int finished = 0;
            for (const auto& run : test::runRecToolsTogether({ command, command })) {
                if (!run.out.empty()) {
                    EXPECT_EQ(run.status, 0) << run.err;
                    EXPECT_EQ(run.out, (dir / "meeting.m4a").string() + "\n");
                    ++finished;
                } else if (command[0] == "merge") {
                    EXPECT_EQ(run.status, 1);
                    EXPECT_EQ(run.err, claimedMessage);
                } else {
                    EXPECT_EQ(run.status, 0) << "a claimed session is skipped";
                    EXPECT_EQ(run.err, "");
                }
            }
            EXPECT_GE(finished, 1);
            // Each segment's encoder delay and padding lengthen the file by a few frames; a lost segment
            // would shorten it by seconds.
            auto duration = FfmpegAudioProbe::duration(dir / "meeting.m4a");
            ASSERT_TRUE(duration);
            EXPECT_NEAR(*duration, segmentCount * segmentSeconds, 0.5);
            EXPECT_TRUE(MeetingRecorder::listSegments(dir).empty());
            EXPECT_FALSE(fs::exists(dir / "meeting.partial.m4a"));
        }
    }

    TEST_F(SessionClaimRaceTest, ASessionClaimedByAnotherProcessIsRefusedSkippedAndShownInUse)
    {
        auto root = m_temporary.path() / "recordings";
        auto dir = makeSession(root / "0f6e3c1a-0000-4000-8000-000000000002");
        test::writeSamples(dir / "mic.f32", test::tone(440, 0.5f, 16000));
        PosixSessionClaims claims;
        auto held = claims.claim(dir); // as the application holds the session it records
        ASSERT_TRUE(held) << held.error().description();

        auto runs = test::runRecToolsTogether({ { "merge", dir.string() }, { "mixdown", dir.string() },
            { "pending", "--root", root.string() }, { "list", "--root", root.string() } });
        EXPECT_EQ(runs[0].status, 1);
        EXPECT_EQ(runs[0].err, claimedMessage);
        EXPECT_EQ(runs[1].status, 1);
        EXPECT_EQ(runs[1].err, claimedMessage);
        EXPECT_EQ(runs[2].status, 0) << runs[2].err;
        EXPECT_EQ(runs[2].out, "") << "skipped";
        EXPECT_EQ(runs[3].status, 0) << runs[3].err;
        EXPECT_TRUE(runs[3].out.starts_with(dir.filename().string() + "\traw tracks, in use\t")) << runs[3].out;
        EXPECT_EQ(MeetingRecorder::listSegments(dir).size(), std::size_t(segmentCount)) << "nothing touched";
        EXPECT_TRUE(fs::exists(dir / "mic.f32"));

        held.value().reset(); // the holder ends, however it ends: the next run finishes the session
        auto after = test::runRecTool({ "pending", "--root", root.string() });
        EXPECT_EQ(after.out, (dir / "meeting.m4a").string() + "\n") << after.err;
    }

} // namespace
} // namespace norla
