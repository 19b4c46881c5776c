// The built norla-rec's contract: exit codes (0 done, 1 failed, 2 misused), the result alone on standard
// output, the reason on standard error, its help and the format of `list`. What the commands do to a
// session is the recorder's, tested in the core.
#include "RecCommandLine.h"
#include "RecTool.h"
#include "platform/PosixSessionClaims.h"

#include "DecodedAudio.h"
#include "ScopedEnvironmentVariable.h"
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
            { "mixdown", "./recordings/0f1e2d3c-4b5a-4978-8695-a4b3c2d1e0f9/" }, { false, m_temporary.path() });
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, (dir / "meeting.m4a").string() + "\n");
        EXPECT_EQ(run.err, "");
    }

    TEST_F(NorlaRecTest, FailuresPrintTheReasonAndExitOne)
    {
        auto silent = session("silent");
        test::writeSamples(silent / "mic.f32", std::vector<float>(16000, 0.0f));
        auto claimed = session("claimed");
        auto held = PosixSessionClaims().claim(claimed); // as the application holds the session it records
        ASSERT_TRUE(held) << held.error().description();
        auto nowhere = (m_temporary.path() / "nowhere").string();
        const struct {
            std::vector<std::string> arguments;
            std::string err; // "": names the directory
        } cases[] {
            { { "mixdown", silent.string() }, "音が1つも録れていません\n" },
            { { "merge", claimed.string() }, "この録音はほかのプロセスが使っています\n" },
            { { "mixdown", nowhere }, "" },
            { { "merge", nowhere }, "" },
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

    TEST_F(NorlaRecTest, UsageErrorsExitTwoAndHelpZeroWithoutTouchingAnything)
    {
        auto dir = session("untouched");
        test::writeSamples(dir / "mic.f32", test::tone(440, 0.5f, 1600));
        const std::vector<std::vector<std::string>> misuses { {}, { "mixdown" },
            { "mixdown", dir.string(), dir.string() }, { "mixdown", "--force", dir.string() }, { "merge" },
            { "remix", dir.string() }, { "pending", "--root" }, { "list", "extra" }, { "list", "--verbose" } };
        for (const auto& arguments : misuses) {
            SCOPED_TRACE(testing::PrintToString(arguments));
            auto run = runRecTool(arguments);
            EXPECT_EQ(run.status, 2);
            EXPECT_EQ(run.out, "");
            EXPECT_NE(run.err.find("usage: norla-rec"), std::string::npos) << run.err;
        }

        auto overview = runRecTool({ "--help" });
        EXPECT_EQ(overview.status, 0);
        for (const auto& command : RecCommandLine::commands())
            EXPECT_NE(overview.out.find(command.name), std::string::npos) << command.name;
        auto mixdownHelp = runRecTool({ "mixdown", dir.string(), "--help" });
        EXPECT_EQ(mixdownHelp.status, 0);
        EXPECT_TRUE(mixdownHelp.out.starts_with("usage: norla-rec mixdown DIR\n")) << mixdownHelp.out;
        EXPECT_TRUE(fs::exists(dir / "mic.f32"));
        EXPECT_FALSE(fs::exists(dir / "meeting.m4a"));
    }

    // One line per session, tab-separated: name, state (and whether a process holds it), bytes, seconds.
    TEST_F(NorlaRecTest, ListShowsEachSessionWithItsStateSizeAndDuration)
    {
        auto finished = session("a-finished");
        ASSERT_TRUE(test::writeSegment(finished / "meeting.m4a", test::tone(440, 0.5f, 24000)));
        auto finishedSize = fs::file_size(finished / "meeting.m4a");
        auto raw = session("b-raw");
        test::writeSamples(raw / "system.f32", std::vector<float>(32000, 0.1f));
        test::writeBytes(raw / "mic.f32", std::string(4 * 8000 + 2, '\0'));
        auto held = PosixSessionClaims().claim(raw);
        ASSERT_TRUE(held) << held.error().description();
        auto segments = session("c-segments");
        fs::copy_file(finished / "meeting.m4a", segments / "segment-001.m4a");
        fs::copy_file(finished / "meeting.m4a", segments / "segment-002.m4a");
        test::writeBytes(session("d-nothing") / "meeting.partial.m4a", "half");
        test::writeBytes(m_temporary.path() / "recordings" / "stray.txt", "not a session");

        // Without --root the recordings directory of the data directory is listed.
        auto data = m_temporary.path() / "data";
        fs::create_directories(data / "norla-office");
        fs::rename(m_temporary.path() / "recordings", data / "norla-office" / "recordings");
        test::ScopedEnvironmentVariable dataHome("XDG_DATA_HOME", data.c_str());
        auto run = runRecTool({ "list" });
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        std::vector<std::vector<std::string>> rows;
        std::istringstream lines(run.out);
        for (std::string line; std::getline(lines, line);) {
            std::istringstream split(line);
            auto& fields = rows.emplace_back();
            for (std::string field; std::getline(split, field, '\t');)
                fields.push_back(field);
        }
        ASSERT_EQ(rows.size(), 4u) << run.out;
        auto size = [](std::uintmax_t bytes) { return std::to_string(bytes); };
        using Row = std::vector<std::string>;
        // Encoded files last as long as their samples plus at most two frames of encoder delay and padding.
        EXPECT_EQ(Row(rows[0].begin(), rows[0].begin() + 3), (Row { "a-finished", "finished", size(finishedSize) }));
        EXPECT_NEAR(std::stod(rows[0][3]), 1.5 + 0.064, 0.065);
        EXPECT_EQ(rows[1], (Row { "b-raw", "raw tracks, in use", size(4 * 32000 + 4 * 8000 + 2), "2.000" }));
        EXPECT_EQ(
            Row(rows[2].begin(), rows[2].begin() + 3), (Row { "c-segments", "segments", size(2 * finishedSize) }));
        EXPECT_NEAR(std::stod(rows[2][3]), 2 * std::stod(rows[0][3]), 0.002);
        EXPECT_EQ(rows[3], (Row { "d-nothing", "nothing", "4", "-" }));

        auto missing = runRecTool({ "list", "--root=" + (m_temporary.path() / "none").string() });
        EXPECT_EQ(missing.status, 0);
        EXPECT_EQ(missing.out, "") << "no recordings directory: nothing to list";
    }

} // namespace
} // namespace norla
