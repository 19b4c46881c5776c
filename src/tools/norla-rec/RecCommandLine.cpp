#include "RecCommandLine.h"

#include "RecPlatform.h"
#include "RecProgress.h"
#include "RecorderCommands.h"
#include "RecordingInventory.h"
#include "platform/Seams.h"
#include "platform/SessionClaims.h"
#include "recording/Mixdown.h"
#include "recording/RecordingFiles.h"

#include <algorithm>
#include <array>
#include <iomanip>
#include <optional>
#include <ostream>
#include <system_error>
#include <vector>

namespace norla {

namespace fs = std::filesystem;

namespace {

    constexpr std::string_view programName = "norla-rec";

    int usage(std::ostream& err, std::string_view problem, const RecCommandLine::Command* command = nullptr)
    {
        err << programName << ": " << problem << '\n';
        if (command)
            err << "usage: " << programName << ' ' << command->name << ' ' << command->synopsis << '\n';
        else
            err << "usage: " << programName << " <command> [arguments]; see '" << programName << " --help'\n";
        return RecCommandLine::usageError;
    }

    void printHelp(std::ostream& out, const RecCommandLine::Command& command)
    {
        out << "usage: " << programName << ' ' << command.name << ' ' << command.synopsis << "\n\n"
            << command.summary << "\n\n"
            << command.details;
    }

    // Splits a command's arguments into positional ones, refusing options the command does not know.
    // "--" ends the options, so that a directory named like an option can still be given.
    struct ParsedArguments {
        std::vector<std::string> positional;
        std::optional<std::string> root;
        std::optional<std::string> problem;
    };

    ParsedArguments parseArguments(std::span<const std::string> arguments, bool acceptsRoot)
    {
        ParsedArguments parsed;
        bool optionsEnded = false;
        for (std::size_t i = 0; i < arguments.size(); ++i) {
            const auto& argument = arguments[i];
            if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
                parsed.positional.push_back(argument);
            } else if (argument == "--") {
                optionsEnded = true;
            } else if (acceptsRoot && argument == "--root") {
                if (i + 1 == arguments.size()) {
                    parsed.problem = "--root needs a directory";
                    return parsed;
                }
                parsed.root = arguments[++i];
            } else if (acceptsRoot && argument.starts_with("--root=")) {
                parsed.root = argument.substr(7);
            } else {
                parsed.problem = "unknown option '" + argument + "'";
                return parsed;
            }
        }
        return parsed;
    }

    const RecCommandLine::Command* findCommand(std::string_view name);

    int runMixdown(std::span<const std::string> arguments, std::ostream& out, std::ostream& err)
    {
        auto parsed = parseArguments(arguments, false);
        if (parsed.problem)
            return usage(err, *parsed.problem, findCommand("mixdown"));
        if (parsed.positional.size() != 1)
            return usage(err, "mixdown takes one session directory", findCommand("mixdown"));

        fs::path dir = parsed.positional.front();
        std::error_code error;
        auto status = fs::status(dir, error);
        if (error || !fs::is_directory(status)) {
            auto problem = error ? error : std::make_error_code(std::errc::not_a_directory);
            err << dir.string() << ": " << problem.message() << '\n';
            return RecCommandLine::failure;
        }
        // A session that another process records or finishes is refused, untouched.
        auto claim = seam<SessionClaims>()->claim(dir);
        if (!claim) {
            err << claim.error().description() << '\n';
            return RecCommandLine::failure;
        }
        auto result = RecProgress::mixdown(dir, seam<AudioFileWriter>(),
            [&](AudioFileWriter& writer) { return mixdown(dir, *seam<FileHandles>(), writer); });
        if (!result) {
            err << result.error().description() << '\n';
            return RecCommandLine::failure;
        }
        out << fs::absolute(result.value()).lexically_normal().string() << '\n';
        return RecCommandLine::success;
    }

    int runList(std::span<const std::string> arguments, std::ostream& out, std::ostream& err)
    {
        auto parsed = parseArguments(arguments, true);
        if (parsed.problem)
            return usage(err, *parsed.problem, findCommand("list"));
        if (!parsed.positional.empty())
            return usage(err, "list takes no arguments besides --root", findCommand("list"));

        auto recordings = parsed.root ? fs::path(*parsed.root) : RecordingFiles::recordingsDirectory();
        auto sessions = RecordingInventory::list(recordings, &RecPlatform::probeDuration);
        if (!sessions) {
            err << recordings.string() << ": " << sessions.error().description() << '\n';
            return RecCommandLine::failure;
        }
        for (const auto& session : sessions.value()) {
            out << session.name << '\t' << sessionStateName(session.state) << (session.inUse ? ", in use" : "") << '\t'
                << session.sizeInBytes << '\t';
            if (session.durationInSeconds)
                out << std::fixed << std::setprecision(3) << *session.durationInSeconds << std::defaultfloat;
            else
                out << '-';
            out << '\n';
        }
        return RecCommandLine::success;
    }

    constexpr std::array commandTable {
        RecCommandLine::Command {
            "mixdown",
            "DIR",
            "Mixes the raw tracks of session directory DIR into DIR/meeting.m4a.",
            "System audio (system.f32) goes to the left channel and the microphone (mic.f32) to the right, as\n"
            "stereo AAC at 16000 Hz and 64 kb/s; the raw tracks are removed afterwards. An existing meeting.m4a\n"
            "is kept as it is. A session that another process records or finishes is refused and left untouched.\n\n"
            "Prints the absolute path of DIR/meeting.m4a on success and exits 0. On failure prints the\n"
            "error's description to standard error and exits 1; a usage error exits 2.\n",
            &runMixdown,
        },
        RecCommandLine::Command {
            "list",
            "[--root DIR]",
            "Lists the session directories of the recordings directory.",
            "One line per session directory, sorted by name, with tab-separated fields: name, state\n"
            "(finished, raw tracks, segments or nothing; followed by \", in use\" while a process records or\n"
            "finishes it), size in bytes of its files, and duration in seconds (\"-\" where it is not known).\n\n"
            "  --root DIR   list DIR instead of the recordings directory\n"
            "               ($XDG_DATA_HOME/norla-office/recordings)\n",
            &runList,
        },
        RecCommandLine::Command {
            "merge",
            "DIR",
            "Merges the microphone segments of session directory DIR into DIR/meeting.m4a.",
            mergeCommandDetails,
            &runMergeCommand,
        },
        RecCommandLine::Command {
            "pending",
            "[--root DIR]",
            "Finishes or finds one left-over recording and prints its path.",
            pendingCommandDetails,
            &runPendingCommand,
        },
    };

    const RecCommandLine::Command* findCommand(std::string_view name)
    {
        auto found = std::find_if(
            commandTable.begin(), commandTable.end(), [&](const auto& command) { return command.name == name; });
        return found == commandTable.end() ? nullptr : &*found;
    }

    bool isHelp(std::string_view argument) { return argument == "--help" || argument == "-h"; }

    void printOverview(std::ostream& out)
    {
        out << "usage: " << programName << " <command> [arguments]\n\n"
            << "Finishes and inspects meeting recordings.\n\ncommands:\n";
        for (const auto& command : commandTable)
            out << "  " << std::left << std::setw(10) << command.name << command.summary << '\n';
        out << "\nRun '" << programName << " <command> --help' for a command's help.\n";
    }

} // namespace

std::span<const RecCommandLine::Command> RecCommandLine::commands() { return commandTable; }

void RecCommandLine::installLiveSeams() { RecPlatform::installLiveSeams(); }

int RecCommandLine::run(std::span<const std::string> arguments, std::ostream& out, std::ostream& err)
{
    if (arguments.empty())
        return usage(err, "no command given");
    const auto& name = arguments.front();
    if (isHelp(name) || name == "help") {
        if (name == "help" && arguments.size() > 1) {
            if (auto* command = findCommand(arguments[1])) {
                printHelp(out, *command);
                return success;
            }
            return usage(err, "unknown command '" + arguments[1] + "'");
        }
        printOverview(out);
        return success;
    }
    auto* command = findCommand(name);
    if (!command)
        return usage(err, "unknown command '" + name + "'");
    auto rest = arguments.subspan(1);
    if (std::any_of(rest.begin(), std::find(rest.begin(), rest.end(), "--"), [](const auto& a) { return isHelp(a); })) {
        printHelp(out, *command);
        return success;
    }
    return command->run(rest, out, err);
}

} // namespace norla
