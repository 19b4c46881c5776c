#include "RecCommandLine.h"
#include "platform/Seams.h"

#include "TemporaryDirectory.h"
#include "TrackFiles.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/wait.h>
#include <vector>

namespace norla {
namespace {

    namespace fs = std::filesystem;

    struct Outcome {
        int status = -1;
        std::string out;
        std::string err;
    };

    std::string quoted(const std::string& text)
    {
        std::string result = "'";
        for (char c : text)
            result += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return result + "'";
    }

    // Runs the built norla-rec in `workingDirectory` with `arguments`, capturing both streams.
    Outcome runTool(const std::vector<std::string>& arguments, const fs::path& scratch,
        const fs::path& workingDirectory = fs::current_path(), const std::string& environment = {})
    {
        std::string command = "cd " + quoted(workingDirectory.string()) + " && " + environment + " " + NORLA_REC_BINARY;
        for (const auto& argument : arguments)
            command += " " + quoted(argument);
        auto out = scratch / "stdout.txt";
        auto err = scratch / "stderr.txt";
        command += " >" + quoted(out.string()) + " 2>" + quoted(err.string());
        int raw = std::system(command.c_str());
        Outcome outcome;
        outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        outcome.out = test::readBytes(out);
        outcome.err = test::readBytes(err);
        return outcome;
    }

    class NorlaRecTest : public ::testing::Test {
    protected:
        fs::path session(const std::string& name)
        {
            auto dir = m_temporary.path() / "recordings" / name;
            fs::create_directories(dir);
            return dir;
        }
        fs::path scratch()
        {
            auto dir = m_temporary.path() / "scratch";
            fs::create_directories(dir);
            return dir;
        }

        test::TemporaryDirectory m_temporary;
    };

    TEST_F(NorlaRecTest, MixdownPrintsTheAbsolutePathOfTheFinishedFile)
    {
        auto dir = session("0f1e2d3c-4b5a-4978-8695-a4b3c2d1e0f9");
        test::writeSamples(dir / "system.f32", test::tone(440, 0.5f, 16000));
        test::writeSamples(dir / "mic.f32", test::tone(1000, 0.3f, 8000));

        // A relative directory with a "." in it still yields the plain absolute path.
        auto outcome = runTool(
            { "mixdown", "./recordings/0f1e2d3c-4b5a-4978-8695-a4b3c2d1e0f9/" }, scratch(), m_temporary.path());
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(outcome.out, (dir / "meeting.m4a").string() + "\n");
        EXPECT_EQ(outcome.err, "");
        EXPECT_TRUE(fs::exists(dir / "meeting.m4a"));
        EXPECT_FALSE(fs::exists(dir / "system.f32"));

        auto again = runTool({ "mixdown", dir.string() }, scratch());
        EXPECT_EQ(again.status, 0);
        EXPECT_EQ(again.out, (dir / "meeting.m4a").string() + "\n");
    }

    TEST_F(NorlaRecTest, MixdownFailuresPrintTheDescriptionAndExitOne)
    {
        auto silent = session("silent");
        test::writeSamples(silent / "mic.f32", std::vector<float>(16000, 0.0f));
        auto empty = runTool({ "mixdown", silent.string() }, scratch());
        EXPECT_EQ(empty.status, 1);
        EXPECT_EQ(empty.out, "");
        EXPECT_EQ(empty.err, "音が1つも録れていません\n");
        EXPECT_TRUE(fs::exists(silent / "mic.f32"));

        auto missing = runTool({ "mixdown", (m_temporary.path() / "nowhere").string() }, scratch());
        EXPECT_EQ(missing.status, 1);
        EXPECT_EQ(missing.out, "");
        EXPECT_NE(missing.err.find("nowhere"), std::string::npos) << missing.err;
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
            { "remix", dir.string() },
            { "list", "--root" },
            { "list", "extra" },
            { "list", "--verbose" },
        };
        for (const auto& arguments : misuses) {
            auto outcome = runTool(arguments, scratch());
            std::string shown;
            for (const auto& argument : arguments)
                shown += argument + " ";
            EXPECT_EQ(outcome.status, 2) << shown;
            EXPECT_EQ(outcome.out, "") << shown;
            EXPECT_NE(outcome.err.find("usage: norla-rec"), std::string::npos) << shown << outcome.err;
        }
        EXPECT_TRUE(fs::exists(dir / "mic.f32"));
        EXPECT_FALSE(fs::exists(dir / "meeting.m4a"));
    }

    TEST_F(NorlaRecTest, HelpIsPrintedForTheToolAndEachCommand)
    {
        auto overview = runTool({ "--help" }, scratch());
        EXPECT_EQ(overview.status, 0);
        for (const auto& command : RecCommandLine::commands())
            EXPECT_NE(overview.out.find(command.name), std::string::npos) << command.name;

        auto dir = session("helped");
        test::writeSamples(dir / "mic.f32", test::tone(440, 0.5f, 1600));
        auto mixdownHelp = runTool({ "mixdown", dir.string(), "--help" }, scratch());
        EXPECT_EQ(mixdownHelp.status, 0);
        EXPECT_EQ(mixdownHelp.out.rfind("usage: norla-rec mixdown DIR\n", 0), 0u) << mixdownHelp.out;
        EXPECT_FALSE(fs::exists(dir / "meeting.m4a"));

        auto listHelp = runTool({ "list", "--help" }, scratch());
        EXPECT_EQ(listHelp.status, 0);
        EXPECT_EQ(listHelp.out.rfind("usage: norla-rec list [--root DIR]\n", 0), 0u) << listHelp.out;
    }

    TEST_F(NorlaRecTest, ListShowsEachSessionWithItsStateSizeAndDuration)
    {
        auto finished = session("a-finished");
        test::writeSamples(finished / "mic.f32", test::tone(440, 0.5f, 24000));
        ASSERT_EQ(runTool({ "mixdown", finished.string() }, scratch()).status, 0);
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

        std::ostringstream out, err;
        RecCommandLine::installLiveSeams();
        std::vector<std::string> arguments { "list", "--root", (m_temporary.path() / "recordings").string() };
        EXPECT_EQ(RecCommandLine::run(arguments, out, err), 0);
        EXPECT_EQ(err.str(), "");
        auto size = [](std::uintmax_t bytes) { return std::to_string(bytes); };
        // Encoded files last as long as their samples plus at most two frames of encoder delay and padding.
        std::istringstream lines(out.str());
        std::vector<std::vector<std::string>> rows;
        for (std::string line; std::getline(lines, line);) {
            std::vector<std::string> fields;
            std::istringstream split(line);
            for (std::string field; std::getline(split, field, '\t');)
                fields.push_back(field);
            rows.push_back(fields);
        }
        ASSERT_EQ(rows.size(), 4u) << out.str();
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

        // Without --root the recordings directory of the data directory is listed.
        auto data = m_temporary.path() / "data";
        fs::create_directories(data / "norla-office");
        fs::rename(m_temporary.path() / "recordings", data / "norla-office" / "recordings");
        auto listed = runTool({ "list" }, scratch(), fs::current_path(), "XDG_DATA_HOME=" + quoted(data.string()));
        EXPECT_EQ(listed.status, 0) << listed.err;
        EXPECT_EQ(listed.out, out.str());
    }

    TEST_F(NorlaRecTest, ListOfAMissingRecordingsDirectoryIsEmpty)
    {
        std::ostringstream out, err;
        std::vector<std::string> arguments { "list", "--root=" + (m_temporary.path() / "none").string() };
        EXPECT_EQ(RecCommandLine::run(arguments, out, err), 0);
        EXPECT_EQ(out.str(), "");
    }

} // namespace
} // namespace norla
