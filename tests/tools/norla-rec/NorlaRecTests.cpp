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

    // Sessions in the recordings directory of the data directory `list` reads without --root.
    class NorlaRecTest : public ::testing::Test {
    protected:
        fs::path session(const std::string& name)
        {
            fs::create_directories(m_recordings / name);
            return m_recordings / name;
        }

        test::TemporaryDirectory m_temporary { "norla-rec-test" };
        fs::path m_recordings = m_temporary.path() / "norla-office" / "recordings";
    };

    // Misuses touch nothing; a relative directory with a "." in it still yields the plain absolute path.
    TEST_F(NorlaRecTest, ExitsZeroOneOrTwoWithTheResultAloneOnStandardOutputAndTheReasonOnStandardError)
    {
        auto id = std::string("0f1e2d3c-4b5a-4978-8695-a4b3c2d1e0f9");
        test::writeSamples(session(id) / "mic.f32", test::tone(1000, 0.3f, 8000));
        auto claimed = session("claimed");
        auto held = PosixSessionClaims().claim(claimed); // as the application holds the session it records
        ASSERT_TRUE(held) << held.error().description();
        auto dir = session("untouched").string();
        test::writeSamples(dir + "/mic.f32", test::tone(440, 0.5f, 1600));
        auto nowhere = (m_temporary.path() / "nowhere").string();
        const auto usage = "usage: norla-rec";
        const struct {
            std::vector<std::string> arguments;
            int status;
            std::string out;
            std::string err; // the whole of it when it ends a line, else a part
        } cases[] {
            { { "mixdown", "./recordings/" + id + "/" }, 0, (m_recordings / id / "meeting.m4a").string() + "\n", "" },
            { { "merge", claimed.string() }, 1, "", "この録音はほかのプロセスが使っています\n" },
            { { "mixdown", nowhere }, 1, "", "nowhere" },
            { { "merge", nowhere }, 1, "", "nowhere" },
            { {}, 2, "", usage },
            { { "mixdown" }, 2, "", usage },
            { { "mixdown", dir, dir }, 2, "", usage },
            { { "mixdown", "--force", dir }, 2, "", usage },
            { { "merge" }, 2, "", usage },
            { { "remix", dir }, 2, "", usage },
            { { "pending", "--root" }, 2, "", usage },
            { { "list", "extra" }, 2, "", usage },
            { { "list", "--verbose" }, 2, "", usage },
        };
        for (const auto& [arguments, status, out, err] : cases) {
            SCOPED_TRACE(testing::PrintToString(arguments));
            auto run = runRecTool(arguments, { false, m_recordings.parent_path() });
            EXPECT_EQ(run.status, status);
            EXPECT_EQ(run.out, out);
            if (err.empty() || err.ends_with('\n'))
                EXPECT_EQ(run.err, err);
            else
                EXPECT_NE(run.err.find(err), std::string::npos) << run.err;
        }

        auto overview = runRecTool({ "--help" });
        EXPECT_EQ(overview.status, 0);
        for (const auto& command : RecCommandLine::commands())
            EXPECT_NE(overview.out.find(command.name), std::string::npos) << command.name;
        auto mixdownHelp = runRecTool({ "mixdown", dir, "--help" });
        EXPECT_EQ(mixdownHelp.status, 0);
        EXPECT_TRUE(mixdownHelp.out.starts_with("usage: norla-rec mixdown DIR\n")) << mixdownHelp.out;
        EXPECT_TRUE(fs::exists(dir + "/mic.f32"));
        EXPECT_FALSE(fs::exists(dir + "/meeting.m4a"));
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
        test::writeBytes(m_recordings / "stray.txt", "not a session");

        test::ScopedEnvironmentVariable dataHome("XDG_DATA_HOME", m_temporary.path().c_str());
        auto run = runRecTool({ "list" });
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        using Row = std::vector<std::string>;
        std::vector<Row> rows;
        std::istringstream lines(run.out);
        for (std::string line; std::getline(lines, line);) {
            std::istringstream split(line);
            auto& fields = rows.emplace_back();
            for (std::string field; std::getline(split, field, '\t');)
                fields.push_back(field);
        }
        ASSERT_EQ(rows.size(), 4u) << run.out;
        auto size = [](std::uintmax_t bytes) { return std::to_string(bytes); };
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
