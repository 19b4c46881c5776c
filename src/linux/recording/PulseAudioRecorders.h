#pragma once

#include "platform/AudioRecorder.h"
#include "platform/Clock.h"
#include "recording/PulseAudioRecorder.h"

#include <memory>
#include <string>

namespace norla {

// Makes PulseAudio recorders of one source: the default source (the microphone) of the user's sound server
// unless told otherwise.
class PulseAudioRecorders final : public AudioRecorders {
public:
    explicit PulseAudioRecorders(std::shared_ptr<const Clock> clock = std::make_shared<SteadyClock>(),
        std::string device = std::string(PulseAudioRecorder::defaultSource), std::string server = {});

    Result<std::unique_ptr<AudioRecorder>> makeRecorder(
        const std::filesystem::path& file, const AudioFileSettings& settings) override;

private:
    const std::shared_ptr<const Clock> m_clock;
    const std::string m_device;
    const std::string m_server;
};

} // namespace norla
