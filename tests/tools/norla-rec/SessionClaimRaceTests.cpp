// Two norla-rec processes started together on one session: one finishes it, the other keeps out, and every
// segment's audio ends up in meeting.m4a.
#include "platform/PosixSessionClaims.h"
#include "recording/FfmpegAacFile.h"
#include "recording/FfmpegAudioProbe.h"
#include "recording/MeetingRecorder.h"

#include "TemporaryDirectory.h"
#include "TrackFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace norla {
namespace {

    namespace fs = std::filesystem;

    constexpr int rounds = 12;
    constexpr int segmentCount = 3;
    constexpr std::size_t segmentFrames = 16000 * 8;
    constexpr double sessionSeconds = segmentCount * segmentFrames / 16000.0;
    constexpr std::string_view claimedMessage = "この録音はほかのプロセスが使っています\n";

    std::string quoted(const std::string& text)
    {
        std::string result = "'";
        for (char c : text)
            result += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return result + "'";
    }

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

    struct Outcome {
        int status = -1;
        std::string out;
        std::string err;
    };

    // Starts one norla-rec per argument list at the same moment and waits for all of them.
    std::vector<Outcome> runTogether(const std::vector<std::vector<std::string>>& commands, const fs::path& scratch)
    {
        std::string script;
        for (std::size_t i = 0; i < commands.size(); ++i) {
            auto prefix = quoted((scratch / std::to_string(i)).string());
            std::string line = NORLA_REC_BINARY;
            for (const auto& argument : commands[i])
                line += " " + quoted(argument);
            script += "( " + line + " >" + prefix + ".out 2>" + prefix + ".err; echo $? >" + prefix + ".status ) & ";
        }
        script += "wait";
        EXPECT_EQ(std::system(script.c_str()), 0);
        std::vector<Outcome> outcomes;
        for (std::size_t i = 0; i < commands.size(); ++i) {
            auto prefix = (scratch / std::to_string(i)).string();
            outcomes.push_back({ std::stoi(test::readBytes(prefix + ".status")), test::readBytes(prefix + ".out"),
                test::readBytes(prefix + ".err") });
        }
        return outcomes;
    }

    class SessionClaimRace : public ::testing::Test {
    protected:
        void SetUp() override
        {
            fs::create_directories(scratch());
            for (int i = 0; i < segmentCount; ++i)
                m_segments.push_back(test::tone(330.0 + 110.0 * i, 0.5f, segmentFrames));
        }

        fs::path scratch() const { return m_temporary.path() / "scratch"; }

        fs::path makeSession(const fs::path& dir)
        {
            fs::create_directories(dir);
            for (int i = 0; i < segmentCount; ++i)
                writeSegment(dir / ("segment-00" + std::to_string(i + 1) + ".m4a"), m_segments[i]);
            return dir;
        }

        // Every segment is in meeting.m4a, and nothing of the session is left beside it.
        static void expectWholeMeeting(const fs::path& dir, int round)
        {
            auto meeting = dir / "meeting.m4a";
            ASSERT_TRUE(fs::exists(meeting)) << "round " << round;
            auto duration = FfmpegAudioProbe::duration(meeting);
            ASSERT_TRUE(duration) << "round " << round;
            // Each segment's encoder delay and padding lengthen the file by a few frames; a lost segment would
            // shorten it by seconds.
            EXPECT_NEAR(*duration, sessionSeconds, 0.5) << "round " << round;
            EXPECT_TRUE(MeetingRecorder::listSegments(dir).empty()) << "round " << round;
            EXPECT_FALSE(fs::exists(dir / "meeting.partial.m4a")) << "round " << round;
        }

        test::TemporaryDirectory m_temporary;
        std::vector<std::vector<float>> m_segments;
    };

    TEST_F(SessionClaimRace, TwoMergesOfOneSessionLoseNoSegment)
    {
        for (int round = 0; round < rounds; ++round) {
            auto dir = makeSession(m_temporary.path() / ("merge-" + std::to_string(round)));
            auto outcomes = runTogether({ { "merge", dir.string() }, { "merge", dir.string() } }, scratch());
            int finished = 0;
            for (const auto& outcome : outcomes) {
                if (outcome.status == 0) {
                    EXPECT_EQ(outcome.out, (dir / "meeting.m4a").string() + "\n");
                    ++finished;
                } else {
                    EXPECT_EQ(outcome.status, 1) << outcome.err;
                    EXPECT_EQ(outcome.err, claimedMessage) << "round " << round;
                    EXPECT_EQ(outcome.out, "");
                }
            }
            EXPECT_GE(finished, 1) << "round " << round;
            expectWholeMeeting(dir, round);
        }
    }

    TEST_F(SessionClaimRace, TwoPendingRunsOnOneSessionLoseNoSegment)
    {
        for (int round = 0; round < rounds; ++round) {
            auto root = m_temporary.path() / ("root-" + std::to_string(round));
            auto dir = makeSession(root / "0f6e3c1a-0000-4000-8000-000000000001");
            auto outcomes = runTogether(
                { { "pending", "--root", root.string() }, { "pending", "--root", root.string() } }, scratch());
            int found = 0;
            for (const auto& outcome : outcomes) {
                EXPECT_EQ(outcome.status, 0) << outcome.err;
                EXPECT_EQ(outcome.err, "");
                if (!outcome.out.empty()) {
                    EXPECT_EQ(outcome.out, (dir / "meeting.m4a").string() + "\n");
                    ++found;
                }
            }
            EXPECT_GE(found, 1) << "round " << round;
            expectWholeMeeting(dir, round);
        }
    }

    TEST_F(SessionClaimRace, ASessionClaimedByAnotherProcessIsRefusedSkippedAndShownInUse)
    {
        auto root = m_temporary.path() / "recordings";
        auto dir = makeSession(root / "0f6e3c1a-0000-4000-8000-000000000002");
        test::writeSamples(dir / "mic.f32", test::tone(440, 0.5f, 16000));
        PosixSessionClaims claims;
        auto held = claims.claim(dir); // as the application holds the session it records
        ASSERT_TRUE(held) << held.error().description();

        auto outcomes = runTogether({ { "merge", dir.string() }, { "mixdown", dir.string() },
                                        { "pending", "--root", root.string() }, { "list", "--root", root.string() } },
            scratch());
        EXPECT_EQ(outcomes[0].status, 1);
        EXPECT_EQ(outcomes[0].err, claimedMessage);
        EXPECT_EQ(outcomes[1].status, 1);
        EXPECT_EQ(outcomes[1].err, claimedMessage);
        EXPECT_EQ(outcomes[2].status, 0) << outcomes[2].err;
        EXPECT_EQ(outcomes[2].out, "") << "skipped";
        EXPECT_EQ(outcomes[3].status, 0) << outcomes[3].err;
        EXPECT_TRUE(outcomes[3].out.starts_with(dir.filename().string() + "\traw tracks, in use\t")) << outcomes[3].out;
        EXPECT_EQ(MeetingRecorder::listSegments(dir).size(), std::size_t(segmentCount)) << "nothing touched";
        EXPECT_TRUE(fs::exists(dir / "mic.f32"));
        EXPECT_FALSE(fs::exists(dir / "meeting.m4a"));

        held.value().reset(); // the holder ends, however it ends: the next run finishes the session
        auto after = runTogether({ { "pending", "--root", root.string() } }, scratch());
        EXPECT_EQ(after[0].out, (dir / "meeting.m4a").string() + "\n") << after[0].err;
    }

} // namespace
} // namespace norla
