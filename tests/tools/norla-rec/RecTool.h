#pragma once

#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace norla::test {

// What the built norla-rec did: its exit status (-1 when it did not exit) and both streams.
struct RecToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

struct RecToolOptions {
    // Standard error on a pseudo-terminal instead of a pipe, as in an interactive shell.
    bool errorOnTerminal = false;
    // Empty: the test's own.
    std::filesystem::path workingDirectory;
    // "NAME=value" entries added to the test's environment.
    std::vector<std::string> environment;
};

// The built norla-rec, started at construction; finish() collects both streams until it ends.
class RecTool {
public:
    explicit RecTool(const std::vector<std::string>& arguments, const RecToolOptions& options = {});
    RecTool(const RecTool&) = delete;
    RecTool& operator=(const RecTool&) = delete;
    RecTool(RecTool&& other) noexcept;
    RecTool& operator=(RecTool&&) = delete;
    ~RecTool();

    RecToolRun finish();

private:
    pid_t m_child = -1;
    int m_out = -1;
    int m_err = -1;
};

inline RecToolRun runRecTool(const std::vector<std::string>& arguments, const RecToolOptions& options = {})
{
    return RecTool(arguments, options).finish();
}

// Starts one norla-rec per argument list at the same moment, then waits for all of them.
std::vector<RecToolRun> runRecToolsTogether(const std::vector<std::vector<std::string>>& commands);

} // namespace norla::test
