#pragma once

#include <filesystem>
#include <string>
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
};

// Runs the built norla-rec with `arguments`, in the test's environment, and collects both streams until it
// ends.
RecToolRun runRecTool(const std::vector<std::string>& arguments, const RecToolOptions& options = {});

} // namespace norla::test
