#include "RecTool.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace norla::test {

namespace {
    // Reads both streams until the program has closed them.
    void readUntilClosed(int out, int err, RecToolRun& run)
    {
        // A pseudo-terminal's reading end reports EIO once the program has closed its end.
        pollfd fds[2] = { { out, POLLIN, 0 }, { err, POLLIN, 0 } };
        std::string* into[2] = { &run.out, &run.err };
        int open = 2;
        while (open > 0 && poll(fds, 2, 120000) > 0) {
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
    }
} // namespace

RecToolRun runRecTool(const std::vector<std::string>& arguments, const RecToolOptions& options)
{
    int outPipe[2] = { -1, -1 };
    int errFds[2] = { -1, -1 }; // [0] is read here, [1] is the program's standard error
    EXPECT_EQ(pipe(outPipe), 0);
    if (options.errorOnTerminal)
        EXPECT_EQ(openpty(&errFds[0], &errFds[1], nullptr, nullptr, nullptr), 0);
    else
        EXPECT_EQ(pipe(errFds), 0);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errFds[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, outPipe[0]);
    posix_spawn_file_actions_addclose(&actions, errFds[0]);
    if (!options.workingDirectory.empty())
        posix_spawn_file_actions_addchdir_np(&actions, options.workingDirectory.c_str());
    std::vector<std::string> all { NORLA_REC_BINARY };
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& argument : all)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = -1;
    int spawned = posix_spawn(&child, NORLA_REC_BINARY, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(spawned, 0);
    close(outPipe[1]);
    close(errFds[1]);

    RecToolRun run;
    readUntilClosed(outPipe[0], errFds[0], run);
    int status = 0;
    if (spawned == 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
        run.status = WEXITSTATUS(status);
    return run;
}

} // namespace norla::test
