// Progress of norla-rec's long commands: the estimate it shows, and the built tool showing it on a
// terminal and nowhere else.
#include "ProgressEstimate.h"
#include "recording/FfmpegAacFile.h"
#include "recording/MeetingRecorder.h"

#include "TemporaryDirectory.h"
#include "TrackFiles.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <regex>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace norla {
namespace {

    namespace fs = std::filesystem;
    using namespace std::chrono_literals;

    TEST(ProgressEstimate, TellsThePercentAndTheTimeLeftOnceThePaceIsKnown)
    {
        // Too early to tell the pace, whether by time or by work done.
        EXPECT_EQ(ProgressEstimate::after(0.3, 0.2s).line("mixdown"), "mixdown  30%  --:-- left");
        EXPECT_EQ(ProgressEstimate::after(0.001, 20s).line("mixdown"), "mixdown   0%  --:-- left");
        // A quarter in ten seconds leaves thirty; partial seconds round up.
        EXPECT_EQ(ProgressEstimate::after(0.25, 10s).line("merge"), "merge  25%  0:30 left");
        EXPECT_EQ(ProgressEstimate::after(0.999, 100s).timeLeft, 1s);
        EXPECT_EQ(ProgressEstimate::after(0.01, 40s).line("merge"), "merge   1%  1:06:00 left");
        // Out-of-range readings are clamped rather than shown as nonsense.
        EXPECT_EQ(ProgressEstimate::after(1.7, 1s).line("merge"), "merge 100%  0:00 left");
        EXPECT_EQ(ProgressEstimate::after(std::nan(""), 1s).percent, 0);
        EXPECT_EQ(ProgressEstimate::after(-0.5, 1s).percent, 0);
    }

    struct Captured {
        int status = -1;
        std::string out;
        std::string err;
    };

    // Runs the built norla-rec with standard output on a pipe and standard error on a pseudo-terminal
    // (or a second pipe), and collects both until the program ends.
    Captured runTool(const std::vector<std::string>& arguments, bool errorOnTerminal)
    {
        int outPipe[2];
        int errFds[2]; // [0] is read here, [1] is the program's standard error
        EXPECT_EQ(pipe(outPipe), 0);
        if (errorOnTerminal)
            EXPECT_EQ(openpty(&errFds[0], &errFds[1], nullptr, nullptr, nullptr), 0);
        else
            EXPECT_EQ(pipe(errFds), 0);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, errFds[1], STDERR_FILENO);
        posix_spawn_file_actions_addclose(&actions, outPipe[0]);
        posix_spawn_file_actions_addclose(&actions, errFds[0]);
        std::vector<std::string> all { NORLA_REC_BINARY };
        all.insert(all.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        argv.reserve(all.size() + 1);
        for (auto& argument : all)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        pid_t child = -1;
        int spawned = posix_spawn(&child, NORLA_REC_BINARY, &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(outPipe[1]);
        close(errFds[1]);
        Captured captured;
        EXPECT_EQ(spawned, 0);

        // A pseudo-terminal's reading end reports EIO once the program has closed its end.
        pollfd fds[2] = { { outPipe[0], POLLIN, 0 }, { errFds[0], POLLIN, 0 } };
        std::string* into[2] = { &captured.out, &captured.err };
        int open = 2;
        while (open > 0 && poll(fds, 2, 60000) > 0) {
            for (int i = 0; i < 2; ++i) {
                if (fds[i].fd < 0 || fds[i].revents == 0)
                    continue;
                char buffer[4096];
                auto n = read(fds[i].fd, buffer, sizeof buffer);
                if (n > 0) {
                    into[i]->append(buffer, static_cast<std::size_t>(n));
                } else if (n == 0 || errno != EINTR) {
                    close(fds[i].fd);
                    fds[i].fd = -1;
                    --open;
                }
            }
        }
        for (auto& fd : fds) {
            if (fd.fd >= 0)
                close(fd.fd);
        }
        int status = 0;
        if (spawned == 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
            captured.status = WEXITSTATUS(status);
        return captured;
    }

    // The percentages drawn on the terminal, in order.
    std::vector<int> percentages(const std::string& terminal)
    {
        static const std::regex line(R"(\r\x1b\[K[a-z]+ +([0-9]+)%  [-:0-9]+ left)");
        std::vector<int> seen;
        for (std::sregex_iterator it(terminal.begin(), terminal.end(), line), end; it != end; ++it)
            seen.push_back(std::stoi((*it)[1]));
        return seen;
    }

    void expectProgressOnlyOnTheTerminal(
        const std::vector<std::string>& arguments, const std::function<void()>& prepare, const fs::path& meeting)
    {
        prepare();
        auto piped = runTool(arguments, false);
        EXPECT_EQ(piped.status, 0) << piped.err;
        EXPECT_EQ(piped.err, "");
        EXPECT_EQ(piped.out, meeting.string() + "\n");

        fs::remove(meeting);
        prepare();
        auto shown = runTool(arguments, true);
        EXPECT_EQ(shown.status, 0) << shown.err;
        EXPECT_EQ(shown.out, meeting.string() + "\n"); // standard output carries the result alone
        auto seen = percentages(shown.err);
        ASSERT_FALSE(seen.empty()) << shown.err;
        EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end())) << shown.err;
        // The line is erased at the end, so the terminal is left clean for what follows.
        EXPECT_TRUE(shown.err.ends_with("\r\x1b[K")) << shown.err;
    }

    TEST(NorlaRecProgress, MixdownShowsProgressOnATerminalAndNothingInAPipe)
    {
        test::TemporaryDirectory temporary;
        auto dir = temporary.path() / "session";
        fs::create_directories(dir);
        auto tone = test::tone(440, 0.5f, 16000 * 300);
        expectProgressOnlyOnTheTerminal(
            { "mixdown", dir.string() },
            [&] {
                test::writeSamples(dir / "system.f32", tone);
                test::writeSamples(dir / "mic.f32", tone);
            },
            dir / "meeting.m4a");
    }

    TEST(NorlaRecProgress, MergeShowsProgressOnATerminalAndNothingInAPipe)
    {
        test::TemporaryDirectory temporary;
        auto dir = temporary.path() / "session";
        fs::create_directories(dir);
        auto tone = test::tone(660, 0.5f, 16000 * 120);
        auto writeSegment = [&](const fs::path& file) {
            AudioFormat format { AudioCommonFormat::pcmFloat32, 16000.0, 1, false };
            auto opened = FfmpegAacFile::open(file, MeetingRecorder::segmentSettings, format);
            ASSERT_TRUE(opened) << opened.error().description();
            auto buffer = AudioPcmBuffer::make(format, static_cast<std::uint32_t>(tone.size()));
            std::copy(tone.begin(), tone.end(), buffer->floatChannelData(0).begin());
            buffer->setFrameLength(static_cast<std::uint32_t>(tone.size()));
            ASSERT_TRUE(opened.value()->write(*buffer));
            ASSERT_TRUE(opened.value()->close());
        };
        expectProgressOnlyOnTheTerminal(
            { "merge", dir.string() },
            [&] {
                writeSegment(dir / "segment-001.m4a");
                writeSegment(dir / "segment-002.m4a");
            },
            dir / "meeting.m4a");
    }

} // namespace
} // namespace norla
