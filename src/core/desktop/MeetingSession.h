#pragma once

#include <optional>
#include <string>

namespace norla {

// The meeting the menu-bar popup is about, as the session controller sees it.
struct MeetingSession {
    std::optional<std::string> label; // the meeting's name from the last "started" event
    bool dismissed = false; // the user dismissed the popup for this meeting
    bool recording = false; // a recording runs, as far as the controller knows
    bool paused = false;
    bool needsPermission = false; // screen-capture access was asked for this meeting and not granted

    static constexpr const char* defaultLabel = "会議";

    std::string displayLabel() const { return label.value_or(defaultLabel); }
    std::string pausedPhase() const { return paused ? "paused" : "recording"; }

    bool operator==(const MeetingSession&) const = default;
};

} // namespace norla
