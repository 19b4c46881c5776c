#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

namespace norla {

// The commands of norla-rec. Each command parses its own arguments; `--help` after any of them prints
// its help. Exit statuses: 0 success, 1 failure (the error's description on standard error), 2 usage.
class RecCommandLine {
public:
    static constexpr int success = 0;
    static constexpr int failure = 1;
    static constexpr int usageError = 2;

    struct Command {
        std::string_view name;
        std::string_view synopsis; // the arguments after the name
        std::string_view summary; // one line for the command list
        std::string_view details; // the rest of its help
        int (*run)(std::span<const std::string> arguments, std::ostream& out, std::ostream& err);
    };

    // Installs the live implementations the commands run on (files, the AAC writer, the data directory).
    static void installLiveSeams();
    // Runs the command line `arguments` (without the program name) and returns the exit status.
    static int run(std::span<const std::string> arguments, std::ostream& out, std::ostream& err);
    static std::span<const Command> commands();
};

} // namespace norla
