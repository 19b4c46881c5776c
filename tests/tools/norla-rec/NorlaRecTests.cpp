// The built norla-rec's contract: exit codes (0 done, 1 failed, 2 misused), the result alone on standard
// output, the reason on standard error, its help and the format of `list`. What the commands do to a
// session is the recorder's, tested in the core.
#include "RecCommandLine.h"
#include "RecTool.h"
#include "platform/PosixSessionClaims.h"
#include "recording/MeetingRecorder.h"

#include "DecodedAudio.h"
#include "TemporaryDirectory.h"
#include "TrackFiles.h"

#include <gtest/gtest.h>

#include <sstream>

namespace norla {
namespace {

    namespace fs = std::filesystem;
    using test::runRecTool;

    class NorlaRecTest : public ::testing::Test {
    protected:
        fs::path session(const std::string& name)
        {
            auto dir = m_temporary.path() / "recordings" / name;
            fs::create_directories(dir);
            return dir;
        }

        test::TemporaryDirectory m_temporary { "norla-rec-test" };
    };

    TEST_F(NorlaRecTest, MixdownPrintsTheAbsolutePathOfTheFinishedFile)
    {
        auto dir = session("0f1e2d3c-4b5a-4978-8695-a4b3c2d1e0f9");
        test::writeSamples(dir / "mic.f32", test::tone(1000, 0.3f, 8000));
        // A relative directory with a "." in it still yields the plain absolute path.
        auto run = runRecTool(
            { "mixdown", "./recordings/0f1e2d3c-4b5a-4978-8695-a4b3c2d1e0f9/" }, { false, m_temporary.path(), {} });
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, (dir / "meeting.m4a").string() + "\n");
        EXPECT_EQ(run.err, "");
    }

    TEST_F(NorlaRecTest, FailuresPrintTheReasonAndExitOne)
    {
        auto silent = session("silent");
        test::writeSamples(silent / "mic.f32", std::vector<float>(16000, 0.0f));
        auto undecodable = session("undecodable");
        test::writeBytes(undecodable / "segment-001.m4a", "not audio");
        struct Case {
            std::vector<std::string> arguments;
            std::string err;
        };
        const Case cases[] {
            { { "mixdown", silent.string() }, "音が1つも録れていません\n" },
            { { "merge", undecodable.string() }, "録音をまとめられませんでした: 録音が空です\n" },
            { { "mixdown", (m_temporary.path() / "nowhere").string() }, "" },
            { { "merge", (m_temporary.path() / "nowhere").string() }, "" },
        };
        for (const auto& [arguments, err] : cases) {
            SCOPED_TRACE(arguments[0] + " " + arguments[1]);
            auto run = runRecTool(arguments);
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.out, "");
            if (err.empty())
                EXPECT_NE(run.err.find("nowhere"), std::string::npos) << run.err;
            else
                EXPECT_EQ(run.err, err);
        }
    }

    TEST_F(NorlaRecTest, UsageErrorsExitTwoWithoutTouchingAnything)
    {
        auto dir = session("untouched");
        test::writeSamples(dir / "mic.f32", test::tone(440, 0.5f, 1600));
        const std::vector<std::vector<std::string>> misuses {
            {},
            { "mixdown" },
            { "mixdown", dir.string(), dir.string() },
            { "mixdown", "--force", dir.string() },
            { "merge" },
            { "remix", dir.string() },
            { "pending", "--root" },
            { "list", "extra" },
            { "list", "--verbose" },
        };
        for (const auto& arguments : misuses) {
            std::string shown;
            for (const auto& argument : arguments)
                shown += argument + " ";
            SCOPED_TRACE(shown);
            auto run = runRecTool(arguments);
            EXPECT_EQ(run.status, 2);
            EXPECT_EQ(run.out, "");
            EXPECT_NE(run.err.find("usage: norla-rec"), std::string::npos) << run.err;
        }
        EXPECT_TRUE(fs::exists(dir / "mic.f32"));
        EXPECT_FALSE(fs::exists(dir / "meeting.m4a"));
    }

    TEST_F(NorlaRecTest, HelpIsPrintedForTheToolAndEachCommand)
    {
        auto overview = runRecTool({ "--help" });
        EXPECT_EQ(overview.status, 0);
        for (const auto& command : RecCommandLine::commands())
            EXPECT_NE(overview.out.find(command.name), std::string::npos) << command.name;

        auto dir = session("helped");
        test::writeSamples(dir / "mic.f32", test::tone(440, 0.5f, 1600));
        auto mixdownHelp = runRecTool({ "mixdown", dir.string(), "--help" });
        EXPECT_EQ(mixdownHelp.status, 0);
        EXPECT_TRUE(mixdownHelp.out.starts_with("usage: norla-rec mixdown DIR\n")) << mixdownHelp.out;
        EXPECT_FALSE(fs::exists(dir / "meeting.m4a"));
    }

    TEST_F(NorlaRecTest, ListShowsEachSessionWithItsStateSizeAndDuration)
    {
        auto finished = session("a-finished");
        ASSERT_TRUE(test::writeSegment(finished / "meeting.m4a", test::tone(440, 0.5f, 24000)));
        auto finishedSize = fs::file_size(finished / "meeting.m4a");
        auto raw = session("b-raw");
        test::writeSamples(raw / "system.f32", std::vector<float>(32000, 0.1f));
        test::writeBytes(raw / "mic.f32", std::string(4 * 8000 + 2, '\0'));
        auto segments = session("c-segments");
        fs::copy_file(finished / "meeting.m4a", segments / "segment-001.m4a");
        fs::copy_file(finished / "meeting.m4a", segments / "segment-002.m4a");
        auto nothing = session("d-nothing");
        test::writeBytes(nothing / "meeting.partial.m4a", "half");
        test::writeBytes(m_temporary.path() / "recordings" / "stray.txt", "not a session");

        // Without --root the recordings directory of the data directory is listed.
        auto data = m_temporary.path() / "data";
        fs::create_directories(data / "norla-office");
        fs::rename(m_temporary.path() / "recordings", data / "norla-office" / "recordings");
        auto run = runRecTool({ "list" }, { false, {}, { "XDG_DATA_HOME=" + data.string() } });
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        std::istringstream lines(run.out);
        std::vector<std::vector<std::string>> rows;
        for (std::string line; std::getline(lines, line);) {
            std::vector<std::string> fields;
            std::istringstream split(line);
            for (std::string field; std::getline(split, field, '\t');)
                fields.push_back(field);
            rows.push_back(fields);
        }
        ASSERT_EQ(rows.size(), 4u) << run.out;
        auto size = [](std::uintmax_t bytes) { return std::to_string(bytes); };
        // Encoded files last as long as their samples plus at most two frames of encoder delay and padding.
        EXPECT_EQ(rows[0][0], "a-finished");
        EXPECT_EQ(rows[0][1], "finished");
        EXPECT_EQ(rows[0][2], size(finishedSize));
        EXPECT_NEAR(std::stod(rows[0][3]), 1.5 + 0.064, 0.065);
        EXPECT_EQ(
            rows[1], (std::vector<std::string> { "b-raw", "raw tracks", size(4 * 32000 + 4 * 8000 + 2), "2.000" }));
        EXPECT_EQ(rows[2][0], "c-segments");
        EXPECT_EQ(rows[2][1], "segments");
        EXPECT_EQ(rows[2][2], size(2 * finishedSize));
        EXPECT_NEAR(std::stod(rows[2][3]), 2 * std::stod(rows[0][3]), 0.002);
        EXPECT_EQ(rows[3], (std::vector<std::string> { "d-nothing", "nothing", "4", "-" }));

        auto missing = runRecTool({ "list", "--root=" + (m_temporary.path() / "none").string() });
        EXPECT_EQ(missing.status, 0);
        EXPECT_EQ(missing.out, "") << "no recordings directory: nothing to list";
    }

    TEST_F(NorlaRecTest, ASessionClaimedByAnotherProcessIsRefusedSkippedAndShownInUse)
    {
        auto root = m_temporary.path() / "recordings";
        auto dir = session("0f6e3c1a-0000-4000-8000-000000000002");
        ASSERT_TRUE(test::writeSegment(dir / "segment-001.m4a", test::tone(440, 0.5f, 16000)));
        test::writeSamples(dir / "mic.f32", test::tone(440, 0.5f, 16000));
        PosixSessionClaims claims;
        auto held = claims.claim(dir); // as the application holds the session it records
        ASSERT_TRUE(held) << held.error().description();

        const std::string claimedMessage = "この録音はほかのプロセスが使っています\n";
        for (const auto& command : { "merge", "mixdown" }) {
            auto refused = runRecTool({ command, dir.string() });
            EXPECT_EQ(refused.status, 1) << command;
            EXPECT_EQ(refused.err, claimedMessage) << command;
        }
        auto skipped = runRecTool({ "pending", "--root", root.string() });
        EXPECT_EQ(skipped.status, 0) << skipped.err;
        EXPECT_EQ(skipped.out, "");
        auto listed = runRecTool({ "list", "--root", root.string() });
        EXPECT_EQ(listed.status, 0) << listed.err;
        EXPECT_TRUE(listed.out.starts_with(dir.filename().string() + "\traw tracks, in use\t")) << listed.out;
        EXPECT_EQ(MeetingRecorder::listSegments(dir).size(), 1u) << "nothing touched";
        EXPECT_TRUE(fs::exists(dir / "mic.f32"));

        held.value().reset(); // the holder ends, however it ends: the next run finishes the session
        auto after = runRecTool({ "pending", "--root", root.string() });
        EXPECT_EQ(after.out, (dir / "meeting.m4a").string() + "\n") << after.err;
    }

} // namespace
} // namespace norla
