#pragma once

#include <iosfwd>
#include <span>
#include <string>

namespace norla {

// norla-rec merge DIR: merges the segments of session directory DIR into DIR/meeting.m4a.
int runMergeCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err);
// norla-rec pending [--root DIR]: finishes or finds one left-over recording, as the page's "pending" does.
int runPendingCommand(std::span<const std::string> arguments, std::ostream& out, std::ostream& err);

inline constexpr std::string_view mergeCommandDetails
    = "The segments (segment-*.m4a) are decoded in name order and encoded back to back into one AAC file;\n"
      "they are removed afterwards. An existing meeting.m4a is kept as it is. A session that another\n"
      "process records or finishes is refused and left untouched.\n\n"
      "Prints the absolute path of DIR/meeting.m4a on success and exits 0. On failure prints the\n"
      "error's description to standard error and exits 1; a usage error exits 2.\n";
inline constexpr std::string_view pendingCommandDetails
    = "Looks through the recordings directory in name order: returns the first finished meeting.m4a, or\n"
      "finishes the first session that still holds raw tracks or segments. Sessions with nothing audible\n"
      "and stray files are removed on the way; audible raw tracks that cannot be mixed are kept, and so are\n"
      "segments that cannot be merged (their error is printed only when nothing else was found). Sessions\n"
      "that another process records or finishes are skipped.\n\n"
      "Prints the path of the recording, or nothing, and exits 0. On failure prints the error's\n"
      "description to standard error and exits 1; a usage error exits 2.\n\n"
      "  --root DIR   use DIR as the recordings directory\n"
      "               ($XDG_DATA_HOME/norla-office/recordings)\n";

} // namespace norla
