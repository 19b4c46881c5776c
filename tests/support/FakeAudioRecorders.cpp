#include "FakeAudioRecorders.h"

#include "TrackFiles.h"

#include <algorithm>

namespace norla::test {

class FakeAudioRecorder final : public AudioRecorder {
public:
    FakeAudioRecorder(FakeAudioRecorders& owner, std::size_t index, bool refuses)
        : m_owner(owner)
        , m_index(index)
        , m_refuses(refuses)
    {
    }
    bool record() override
    {
        if (m_refuses)
            return false;
        std::lock_guard lock(m_owner.m_mutex);
        writeBytes(m_owner.m_made[m_index].file, m_owner.m_content);
        m_owner.m_maxActive = std::max(m_owner.m_maxActive, ++m_owner.m_active);
        m_recording = true;
        return true;
    }
    void stop() override
    {
        std::lock_guard lock(m_owner.m_mutex);
        if (m_recording) {
            --m_owner.m_active;
            m_owner.m_made[m_index].stopped = true;
        }
        m_recording = false;
    }
    void setFailureHandler(FailureHandler handler) override
    {
        std::lock_guard lock(m_owner.m_mutex);
        m_owner.m_failureHandlers.insert_or_assign(m_index, std::move(handler));
    }

private:
    FakeAudioRecorders& m_owner;
    std::size_t m_index;
    bool m_refuses;
    bool m_recording = false;
};

Result<std::unique_ptr<AudioRecorder>> FakeAudioRecorders::makeRecorder(
    const std::filesystem::path& file, const AudioFileSettings&)
{
    std::lock_guard lock(m_mutex);
    ++m_calls;
    if (m_creationFailure && m_creationFailure->first == m_calls)
        return m_creationFailure->second;
    m_made.push_back({ file });
    return std::unique_ptr<AudioRecorder>(
        std::make_unique<FakeAudioRecorder>(*this, m_made.size() - 1, m_refused.contains(m_calls)));
}

void FakeAudioRecorders::failWhileRecording(std::size_t index, const Error& error)
{
    AudioRecorder::FailureHandler handler;
    {
        std::lock_guard lock(m_mutex);
        if (auto found = m_failureHandlers.find(index); found != m_failureHandlers.end())
            handler = std::move(found->second);
        m_failureHandlers.erase(index);
    }
    if (handler)
        handler(error);
}

} // namespace norla::test
