#pragma once

#include "platform/AudioSession.h"

#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace norla::test {

// Records every call as a line ("category playAndRecord spokenAudio 13", "active 1 0") and fails the
// calls the test plans to fail.
class FakeAudioSession final : public AudioSession {
public:
    Result<void> setCategory(AudioSessionCategory, AudioSessionMode, std::uint32_t options) override
    {
        std::lock_guard lock(m_mutex);
        m_calls.push_back("category playAndRecord spokenAudio " + std::to_string(options));
        return {};
    }
    Result<void> setActive(bool active, std::uint32_t options) override
    {
        std::lock_guard lock(m_mutex);
        m_calls.push_back(std::string("active ") + (active ? "1 " : "0 ") + std::to_string(options));
        if (active && m_activationFailure)
            return *m_activationFailure;
        return {};
    }
    void failActivation(std::optional<Error> error)
    {
        std::lock_guard lock(m_mutex);
        m_activationFailure = std::move(error);
    }
    std::vector<std::string> calls() const
    {
        std::lock_guard lock(m_mutex);
        return m_calls;
    }

private:
    mutable std::mutex m_mutex;
    std::optional<Error> m_activationFailure;
    std::vector<std::string> m_calls;
};

} // namespace norla::test
