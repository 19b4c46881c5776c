#pragma once

#include "platform/AudioSession.h"

#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace norla::test {

// Records every call as a line ("category 13" with the options, "active 1 0") and fails activations while
// the test plans them to fail.
class FakeAudioSession final : public AudioSession {
public:
    Result<void> setCategory(AudioSessionCategory, AudioSessionMode, std::uint32_t options) override
    {
        return record("category " + std::to_string(options), false);
    }
    Result<void> setActive(bool active, std::uint32_t options) override
    {
        return record("active " + std::to_string(active) + " " + std::to_string(options), active);
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
    Result<void> record(std::string call, bool activates)
    {
        std::lock_guard lock(m_mutex);
        m_calls.push_back(std::move(call));
        return activates && m_activationFailure ? Result<void>(*m_activationFailure) : Result<void>();
    }

    mutable std::mutex m_mutex;
    std::optional<Error> m_activationFailure;
    std::vector<std::string> m_calls;
};

} // namespace norla::test
