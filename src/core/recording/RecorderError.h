#pragma once

#include "platform/Error.h"

#include <string>
#include <string_view>

namespace norla {

// Why the meeting recorder refused or failed, in the words the page shows the user.
enum class RecorderError {
    exportFailed, // carries a detail text
    permissionDenied,
    alreadyRecording,
    notRecording,
    sessionInUse, // another holder (often another process) records, finishes or deletes the session
};

std::string_view errorDomain(RecorderError);
// The user-facing text; `detail` follows the text of `exportFailed` and is ignored otherwise.
std::string errorDescription(RecorderError, std::string_view detail = {});

// The error, with the detail text where the case carries one.
Error recorderError(RecorderError, std::string_view detail = {});

// Details of exportFailed.
namespace ExportFailure {
    inline constexpr std::string_view cannotStartRecording = "録音を開始できませんでした";
    inline constexpr std::string_view cannotAddTrack = "トラックを作れません";
    inline constexpr std::string_view emptyRecording = "録音が空です";
    inline constexpr std::string_view cannotPrepareExport = "書き出しを準備できません";
} // namespace ExportFailure

} // namespace norla
