#include "recording/PulseScreenCapture.h"

#include "recording/PulseRecordStream.h"

namespace norla {

PulseScreenCapture::PulseScreenCapture(std::shared_ptr<const Clock> clock, PulseCaptureStream::Sources sources)
    : m_clock(std::move(clock))
    , m_sources(std::move(sources))
{
}

void PulseScreenCapture::getShareableContent(CompletionHandler<void(Result<ShareableContent>)> completion)
{
    PulseRecordStream::Configuration configuration;
    configuration.server = m_sources.server;
    configuration.device = m_sources.system;
    configuration.streamName = "system audio probe";
    // Opening the monitor is the whole question; the probe closes again at once.
    auto probe = PulseRecordStream::open(configuration, m_clock);
    if (!probe) {
        completion(probe.error());
        return;
    }
    completion(ShareableContent { { Display { 0 } } });
}

std::shared_ptr<CaptureStream> PulseScreenCapture::makeStream(
    const ContentFilter&, const StreamConfiguration& configuration, std::weak_ptr<StreamDelegate> delegate)
{
    return std::make_shared<PulseCaptureStream>(configuration, std::move(delegate), m_clock, m_sources);
}

} // namespace norla
