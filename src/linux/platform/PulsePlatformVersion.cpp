#include "platform/PulsePlatformVersion.h"

#include "recording/PulseRecordStream.h"

#include <chrono>
#include <utility>

namespace norla {

PulsePlatformVersion::PulsePlatformVersion(std::string monitorSource)
    : m_monitorSource(std::move(monitorSource))
{
}

bool PulsePlatformVersion::capturesSystemAudio() const
{
    std::call_once(m_probed, [this] {
        PulseRecordStream::Configuration configuration;
        configuration.device = m_monitorSource;
        configuration.streamName = "system audio probe";
        // Opening the stream is the whole test; it closes again at once.
        m_capturesSystemAudio = PulseRecordStream::open(configuration, std::make_shared<SteadyClock>()).ok();
    });
    return m_capturesSystemAudio;
}

bool PulsePlatformVersion::isAtLeast(int major, int minor) const
{
    std::pair<int, int> version { systemAudioMajorVersion, systemAudioMinorVersion };
    if (!capturesSystemAudio())
        version.second -= 1;
    return version >= std::pair { major, minor };
}

} // namespace norla
