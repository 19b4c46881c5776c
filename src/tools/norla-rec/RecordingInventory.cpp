#include "RecordingInventory.h"

#include "platform/Seams.h"
#include "platform/SessionClaims.h"
#include "recording/RawTrack.h"
#include "recording/RecordingFiles.h"

#include <algorithm>
#include <system_error>

namespace norla {

namespace fs = std::filesystem;

std::string_view sessionStateName(SessionState state)
{
    switch (state) {
    case SessionState::finished:
        return "finished";
    case SessionState::rawTracks:
        return "raw tracks";
    case SessionState::segments:
        return "segments";
    case SessionState::nothing:
        return "nothing";
    }
    return "nothing";
}

namespace {

    std::vector<fs::path> segmentFiles(const fs::path& session)
    {
        std::vector<fs::path> segments;
        std::error_code error;
        for (fs::directory_iterator entry(session, error), end; !error && entry != end; entry.increment(error)) {
            if (RecordingFiles::isSegmentFileName(entry->path().filename().string()))
                segments.push_back(entry->path());
        }
        return segments;
    }

    std::uintmax_t totalSize(const fs::path& session)
    {
        std::uintmax_t total = 0;
        std::error_code error;
        for (fs::recursive_directory_iterator entry(session, error), end; !error && entry != end;
             entry.increment(error)) {
            std::error_code sizeError;
            if (entry->is_regular_file(sizeError)) {
                auto size = entry->file_size(sizeError);
                if (!sizeError)
                    total += size;
            }
        }
        return total;
    }

} // namespace

SessionSummary RecordingInventory::summarize(const fs::path& session, DurationProbe probe)
{
    SessionSummary summary;
    summary.name = session.filename().string();
    summary.sizeInBytes = totalSize(session);
    if (auto claims = Seam<SessionClaims>::find())
        summary.inUse = claims->isClaimed(session);

    std::error_code error;
    auto meeting = session / RecordingFiles::meetingName;
    auto system = session / RecordingFiles::systemTrackName;
    auto mic = session / RecordingFiles::micTrackName;
    if (fs::exists(meeting, error)) {
        summary.state = SessionState::finished;
        summary.durationInSeconds = probe(meeting);
    } else if (fs::exists(system, error) || fs::exists(mic, error)) {
        summary.state = SessionState::rawTracks;
        auto samples = std::max(RawTrack::sampleCount(system), RawTrack::sampleCount(mic));
        summary.durationInSeconds = static_cast<double>(samples) / RawTrack::sampleRate;
    } else if (auto segments = segmentFiles(session); !segments.empty()) {
        summary.state = SessionState::segments;
        double total = 0;
        for (const auto& segment : segments) {
            auto duration = probe(segment);
            if (!duration)
                return summary;
            total += *duration;
        }
        summary.durationInSeconds = total;
    }
    return summary;
}

Result<std::vector<SessionSummary>> RecordingInventory::list(const fs::path& recordings, DurationProbe probe)
{
    std::error_code error;
    if (!fs::exists(recordings, error))
        return std::vector<SessionSummary> {};
    std::vector<fs::path> sessions;
    fs::directory_iterator entry(recordings, error), end;
    for (; !error && entry != end; entry.increment(error)) {
        std::error_code kindError;
        if (entry->is_directory(kindError))
            sessions.push_back(entry->path());
    }
    if (error)
        return Error::platform(error.message(), error.value());
    std::sort(sessions.begin(), sessions.end());
    std::vector<SessionSummary> summaries;
    summaries.reserve(sessions.size());
    for (const auto& session : sessions)
        summaries.push_back(summarize(session, probe));
    return summaries;
}

} // namespace norla
