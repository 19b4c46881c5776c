#pragma once

#include <string>
#include <string_view>

namespace norla {

// The system log: plain lines, no levels ("MeetingRecorder: …", "RawTrack write failed: …").
class SystemLog {
public:
    virtual ~SystemLog() = default;
    virtual void write(std::string_view line) = 0;
};

// Writes one line to the installed log; without one, to standard error.
void logLine(std::string_view line);

} // namespace norla
