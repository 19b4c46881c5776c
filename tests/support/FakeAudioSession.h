#pragma once

#include "platform/AudioSession.h"

#include <optional>
#include <string>
#include <vector>

namespace norla::test {

// Records every call as a line ("category 13" with the options, "active 1 0"); activations fail while
// `activationFailure` is set. Only the recorder's queue calls it.
struct FakeAudioSession final : AudioSession {
    Result<void> setCategory(AudioSessionCategory, AudioSessionMode, std::uint32_t options) override
    {
        calls.push_back("category " + std::to_string(options));
        return {};
    }
    Result<void> setActive(bool active, std::uint32_t options) override
    {
        calls.push_back("active " + std::to_string(active) + " " + std::to_string(options));
        return active && activationFailure ? Result<void>(*activationFailure) : Result<void>();
    }

    std::vector<std::string> calls;
    std::optional<Error> activationFailure;
};

} // namespace norla::test
