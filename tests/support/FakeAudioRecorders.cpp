#include "FakeAudioRecorders.h"

#include "TrackFiles.h"

#include <algorithm>

namespace norla::test {

class FakeAudioRecorder final : public AudioRecorder {
public:
    FakeAudioRecorder(
        FakeAudioRecorders& owner, std::size_t index, std::filesystem::path file, std::string content, bool refuses)
        : m_owner(owner)
        , m_index(index)
        , m_file(std::move(file))
        , m_content(std::move(content))
        , m_refuses(refuses)
    {
    }
    bool record() override
    {
        if (m_refuses)
            return false;
        writeBytes(m_file, m_content);
        m_owner.didRecord(m_index);
        m_recording = true;
        return true;
    }
    void stop() override
    {
        if (m_recording)
            m_owner.didStop(m_index);
        m_recording = false;
    }
    void setFailureHandler(FailureHandler handler) override
    {
        m_owner.didSetFailureHandler(m_index, std::move(handler));
    }

private:
    FakeAudioRecorders& m_owner;
    std::size_t m_index;
    std::filesystem::path m_file;
    std::string m_content;
    bool m_refuses;
    bool m_recording = false;
};

Result<std::unique_ptr<AudioRecorder>> FakeAudioRecorders::makeRecorder(
    const std::filesystem::path& file, const AudioFileSettings& settings)
{
    std::lock_guard lock(m_mutex);
    ++m_calls;
    if (m_creationFailure && m_creationFailure->first == m_calls)
        return m_creationFailure->second;
    m_made.push_back({ file, settings });
    return std::unique_ptr<AudioRecorder>(
        std::make_unique<FakeAudioRecorder>(*this, m_made.size() - 1, file, m_content, m_refused.contains(m_calls)));
}

void FakeAudioRecorders::didSetFailureHandler(std::size_t index, AudioRecorder::FailureHandler handler)
{
    std::lock_guard lock(m_mutex);
    m_failureHandlers.insert_or_assign(index, std::move(handler));
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

void FakeAudioRecorders::setSegmentContent(std::string content)
{
    std::lock_guard lock(m_mutex);
    m_content = std::move(content);
}

void FakeAudioRecorders::failCreation(int call, Error error)
{
    std::lock_guard lock(m_mutex);
    m_creationFailure.emplace(call, std::move(error));
}

void FakeAudioRecorders::refuseRecord(int call)
{
    std::lock_guard lock(m_mutex);
    m_refused.insert(call);
}

std::vector<FakeAudioRecorders::Made> FakeAudioRecorders::made() const
{
    std::lock_guard lock(m_mutex);
    return m_made;
}

int FakeAudioRecorders::activeCount() const
{
    std::lock_guard lock(m_mutex);
    return m_active;
}

int FakeAudioRecorders::maxActive() const
{
    std::lock_guard lock(m_mutex);
    return m_maxActive;
}

void FakeAudioRecorders::didRecord(std::size_t index)
{
    std::lock_guard lock(m_mutex);
    m_made[index].recording = true;
    m_maxActive = std::max(m_maxActive, ++m_active);
}

void FakeAudioRecorders::didStop(std::size_t index)
{
    std::lock_guard lock(m_mutex);
    m_made[index].recording = false;
    m_made[index].stopped = true;
    --m_active;
}

} // namespace norla::test
