#pragma once

#include "platform/Result.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace norla {

// What a session directory holds, as far as finishing it is concerned.
enum class SessionState {
    finished, // meeting.m4a is there
    rawTracks, // system.f32 or mic.f32 wait for a mixdown
    segments, // microphone segments wait for a merge
    nothing, // nothing recoverable
};

std::string_view sessionStateName(SessionState);

struct SessionSummary {
    std::string name;
    SessionState state = SessionState::nothing;
    std::uintmax_t sizeInBytes = 0; // of every file in the directory
    std::optional<double> durationInSeconds; // where it is known
    bool inUse = false; // a process records or finishes it right now
};

// The session directories of a recordings directory, sorted by name; none when the directory does not
// exist. Durations of encoded files come from `probeDuration`; whether a session is in use, from the
// installed session claims (looked at, never taken).
class RecordingInventory {
public:
    using DurationProbe = std::optional<double> (*)(const std::filesystem::path&);

    static Result<std::vector<SessionSummary>> list(const std::filesystem::path& recordings, DurationProbe probe);
    static SessionSummary summarize(const std::filesystem::path& session, DurationProbe probe);
};

} // namespace norla
