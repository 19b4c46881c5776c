#pragma once

#include "platform/AudioRecorder.h"

#include "TrackFiles.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace norla::test {

// Audio recorders that write their file when they start: its text is the segment's content as the
// FakeMediaComposer reads it (a duration in seconds by default). Planned failures are counted in calls
// of makeRecorder, from 1: an error fails the making, no error makes a recorder that refuses to record.
class FakeAudioRecorders final : public AudioRecorders {
public:
    struct Made {
        std::filesystem::path file;
        bool stopped = false;
        AudioRecorder::FailureHandler onFailure;
    };

    Result<std::unique_ptr<AudioRecorder>> makeRecorder(
        const std::filesystem::path& file, const AudioFileSettings&) override
    {
        std::lock_guard lock(m_mutex);
        auto failure = m_failures.find(++m_calls);
        if (failure != m_failures.end() && failure->second)
            return *failure->second;
        m_made.push_back({ file, false, nullptr });
        return std::unique_ptr<AudioRecorder>(
            std::make_unique<Recorder>(*this, m_made.size() - 1, failure != m_failures.end()));
    }

    void setSegmentContent(std::string content)
    {
        std::lock_guard lock(m_mutex);
        m_content = std::move(content);
    }
    void fail(int call, std::optional<Error> error = std::nullopt)
    {
        std::lock_guard lock(m_mutex);
        m_failures.insert_or_assign(call, std::move(error));
    }
    // The recorder made `index`-th (from 0) reports that its source failed.
    void failWhileRecording(std::size_t index, const Error& error)
    {
        std::unique_lock lock(m_mutex);
        auto handler = std::move(m_made.at(index).onFailure);
        lock.unlock();
        if (handler)
            handler(error);
    }
    std::vector<Made> made() const
    {
        std::lock_guard lock(m_mutex);
        return m_made;
    }
    // Recorders that are recording now, and the most that ever were at once.
    int activeCount() const { return m_active; }
    int maxActive() const { return m_maxActive; }

private:
    class Recorder final : public AudioRecorder {
    public:
        Recorder(FakeAudioRecorders& owner, std::size_t index, bool refuses)
            : m_owner(owner)
            , m_index(index)
            , m_refuses(refuses)
        {
        }
        bool record() override
        {
            std::lock_guard lock(m_owner.m_mutex);
            if (m_refuses)
                return false;
            writeBytes(m_owner.m_made[m_index].file, m_owner.m_content);
            m_owner.m_maxActive = std::max(m_owner.m_maxActive.load(), ++m_owner.m_active);
            return m_recording = true;
        }
        void stop() override
        {
            std::lock_guard lock(m_owner.m_mutex);
            if (std::exchange(m_recording, false)) {
                --m_owner.m_active;
                m_owner.m_made[m_index].stopped = true;
            }
        }
        void setFailureHandler(FailureHandler handler) override
        {
            std::lock_guard lock(m_owner.m_mutex);
            m_owner.m_made[m_index].onFailure = std::move(handler);
        }

    private:
        FakeAudioRecorders& m_owner;
        std::size_t m_index;
        bool m_refuses;
        bool m_recording = false;
    };

    mutable std::mutex m_mutex;
    std::string m_content = "1";
    std::map<int, std::optional<Error>> m_failures;
    std::vector<Made> m_made;
    int m_calls = 0;
    std::atomic<int> m_active { 0 };
    std::atomic<int> m_maxActive { 0 };
};

} // namespace norla::test
