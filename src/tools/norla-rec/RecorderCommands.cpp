#include "RecorderCommands.h"

#include "RecCommandLine.h"
#include "RecPlatform.h"
#include "RecProgress.h"
#include "platform/Seams.h"
#include "platform/SerialQueue.h"
#include "recording/MeetingRecorder.h"
#include "recording/RecordingFiles.h"

#include <optional>
#include <ostream>
#include <system_error>
#include <vector>

namespace norla {

namespace fs = std::filesystem;

namespace {

    // As every other misuse reads: the problem, then the command's usage line.
    int usage(std::ostream& err, std::string_view command, std::string_view problem)
    {
        err << "norla-rec: " << problem << '\n';
        for (const auto& known : RecCommandLine::commands()) {
            if (known.name == command)
                err << "usage: norla-rec " << known.name << ' ' << known.synopsis << '\n';
        }
        return RecCommandLine::usageError;
    }

    // A recorder that records nothing: it finishes what is on disk under `recordings`.
    std::shared_ptr<MeetingRecorder> idleRecorder(const fs::path& recordings)
    {
        MeetingRecorder::Dependencies dependencies;
        dependencies.queue = std::make_shared<SerialQueue>("norla-rec.recorder");
        dependencies.platformVersion = RecPlatform::makePlatformVersion();
        dependencies.mediaComposer = RecProgress::composer(RecPlatform::makeMediaComposer());
        dependencies.sessionClaims = seam<SessionClaims>();
        dependencies.capture.fileHandles = seam<FileHandles>();
        dependencies.capture.writer = seam<AudioFileWriter>();
        dependencies.recordingsDirectory = [recordings] { return recordings; };
        return MeetingRecorder::make(std::move(dependencies));
    }

    std::string absolutePathText(const fs::path& path) { return fs::absolute(path).lexically_normal().string(); }

} // namespace

int runMergeCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err)
{
    std::vector<std::string> positional;
    for (auto& argument : arguments) {
        if (argument != "--")
            positional.push_back(argument);
    }
    if (positional.size() != 1)
        return usage(err, "merge", "merge takes one session directory");
    fs::path dir = positional.front();
    std::error_code error;
    if (!fs::is_directory(dir, error)) {
        err << dir.string() << ": " << (error ? error : std::make_error_code(std::errc::not_a_directory)).message()
            << '\n';
        return 1;
    }
    // A session that another process records or finishes is refused, untouched.
    auto claim = seam<SessionClaims>()->claim(dir);
    if (!claim) {
        err << claim.error().description() << '\n';
        return 1;
    }
    auto merged = idleRecorder(dir.parent_path())->mergeSegments(dir);
    if (!merged) {
        err << merged.error().description() << '\n';
        return 1;
    }
    out << absolutePathText(merged.value()) << '\n';
    return 0;
}

int runPendingCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err)
{
    std::optional<fs::path> root;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        if (arguments[index] == "--root" && index + 1 < arguments.size() && !root)
            root = arguments[++index];
        else
            return usage(err, "pending", "pending takes only --root DIR");
    }
    auto recordings = root ? *root : RecordingFiles::recordingsDirectory();
    auto found = idleRecorder(fs::absolute(recordings))->pendingAndWait();
    if (!found) {
        err << found.error().description() << '\n';
        return 1;
    }
    if (found.value())
        out << absolutePathText(*found.value()) << '\n';
    return 0;
}

} // namespace norla
