#include "RecTool.h"

#include "ShellQuoted.h"
#include "TemporaryDirectory.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

namespace norla::test {

namespace {
    std::string contents(const std::filesystem::path& file)
    {
        std::ifstream stream(file, std::ios::binary);
        return { std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>() };
    }
} // namespace

RecToolRun runRecTool(const std::vector<std::string>& arguments, const RecToolOptions& options)
{
    TemporaryDirectory streams;
    auto out = streams.path() / "out";
    auto err = streams.path() / "err";
    std::string command = "exec " + shellQuoted(NORLA_REC_BINARY);
    for (const auto& argument : arguments)
        command += " " + shellQuoted(argument);
    command += " >" + shellQuoted(out.string());
    // script(1) runs the command on a pseudo-terminal of its own and copies what appears there to its output.
    command = options.errorOnTerminal
        ? "script -qec " + shellQuoted(command) + " /dev/null </dev/null >" + shellQuoted(err.string())
        : command + " 2>" + shellQuoted(err.string());
    if (!options.workingDirectory.empty())
        command = "cd " + shellQuoted(options.workingDirectory.string()) + " && " + command;
    auto status = std::system(command.c_str());
    return { WIFEXITED(status) ? WEXITSTATUS(status) : -1, contents(out), contents(err) };
}

} // namespace norla::test
