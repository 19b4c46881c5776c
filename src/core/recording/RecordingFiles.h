#pragma once

#include "platform/FileHandle.h"
#include "platform/Result.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace norla {

// Where recordings live: one session directory per recording in the application's recordings directory.
class RecordingFiles {
public:
    // The raw track of system audio in a session directory.
    static constexpr std::string_view systemTrackName = "system.f32";
    // The raw track of the microphone in a session directory.
    static constexpr std::string_view micTrackName = "mic.f32";
    // The mixed file while it is being written.
    static constexpr std::string_view partialMeetingName = "meeting.partial.m4a";
    // The finished recording; the page receives its absolute path.
    static constexpr std::string_view meetingName = "meeting.m4a";
    // The file whose lock claims a session directory (see SessionClaims); it outlives its holders.
    static constexpr std::string_view claimFileName = ".claim";

    // `recordings` in the application-support directory; it may not exist yet.
    static std::filesystem::path recordingsDirectory();
    // Creates a new session directory named by a lower-cased new UUID, with the directories above it.
    static Result<std::filesystem::path> createSessionDirectory();
    // Flushes a file's contents, or a directory's entries, to the storage device.
    static Result<void> synchronize(const std::filesystem::path& fileOrDirectory, FileHandles& fileHandles);
    // Removes a session directory that the caller has claimed: its claim file goes last, so that nobody
    // claims the directory again while its contents are being removed.
    static Result<void> removeSessionDirectory(const std::filesystem::path& dir);
    // The name of segment `number` of a microphone session: "segment-001.m4a", "segment-002.m4a", …
    static std::string segmentFileName(int number);
    // Whether `name` is a segment file name (with any number of at least three digits).
    static bool isSegmentFileName(std::string_view name);
};

} // namespace norla
