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
    Result<std::unique_ptr<AudioRecorder>> makeRecorder(
        const std::filesystem::path& file, const AudioFileSettings& settings) override;

    void setSegmentContent(std::string content);
    void failCreation(int call, Error error);
    void refuseRecord(int call);
    // The recorder made `index`-th (from 0) reports that its source failed.
    void failWhileRecording(std::size_t index, const Error& error);

    struct Made {
        std::filesystem::path file;
        AudioFileSettings settings;
        bool recording = false;
        bool stopped = false;
    };
    std::vector<Made> made() const;
    // Recorders that are recording now (started and not stopped).
    int activeCount() const;
    // The most recorders that were ever recording at once.
    int maxActive() const;

private:
    friend class FakeAudioRecorder;
    void didRecord(std::size_t index);
    void didStop(std::size_t index);
    void didSetFailureHandler(std::size_t index, AudioRecorder::FailureHandler handler);

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
