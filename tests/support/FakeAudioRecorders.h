#pragma once

#include "platform/AudioRecorder.h"

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace norla::test {

// Audio recorders that write their file when they start: its text is the segment's content as the
// FakeMediaComposer reads it (a duration in seconds by default). Planned failures are counted in calls
// of makeRecorder, from 1.
class FakeAudioRecorders final : public AudioRecorders {
public:
    struct Made {
        std::filesystem::path file;
        bool stopped = false;
    };

    Result<std::unique_ptr<AudioRecorder>> makeRecorder(
        const std::filesystem::path& file, const AudioFileSettings& settings) override;

    void setSegmentContent(std::string content)
    {
        std::lock_guard lock(m_mutex);
        m_content = std::move(content);
    }
    void failCreation(int call, Error error)
    {
        std::lock_guard lock(m_mutex);
        m_creationFailure.emplace(call, std::move(error));
    }
    void refuseRecord(int call)
    {
        std::lock_guard lock(m_mutex);
        m_refused.insert(call);
    }
    // The recorder made `index`-th (from 0) reports that its source failed.
    void failWhileRecording(std::size_t index, const Error& error);
    std::vector<Made> made() const
    {
        std::lock_guard lock(m_mutex);
        return m_made;
    }
    // Recorders that are recording now, and the most that ever were at once.
    int activeCount() const
    {
        std::lock_guard lock(m_mutex);
        return m_active;
    }
    int maxActive() const
    {
        std::lock_guard lock(m_mutex);
        return m_maxActive;
    }

private:
    friend class FakeAudioRecorder;

    mutable std::mutex m_mutex;
    std::string m_content = "1";
    std::optional<std::pair<int, Error>> m_creationFailure;
    std::set<int> m_refused;
    std::map<std::size_t, AudioRecorder::FailureHandler> m_failureHandlers;
    std::vector<Made> m_made;
    int m_calls = 0;
    int m_active = 0;
    int m_maxActive = 0;
};

} // namespace norla::test
