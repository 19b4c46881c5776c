#include "recording/PulseAudioRecorders.h"

namespace norla {

PulseAudioRecorders::PulseAudioRecorders(std::shared_ptr<const Clock> clock, std::string device, std::string server)
    : m_clock(std::move(clock))
    , m_device(std::move(device))
    , m_server(std::move(server))
{
}

Result<std::unique_ptr<AudioRecorder>> PulseAudioRecorders::makeRecorder(
    const std::filesystem::path& file, const AudioFileSettings& settings)
{
    return PulseAudioRecorder::make(file, settings, m_clock, m_device, m_server);
}

} // namespace norla
