#pragma once

#include "platform/Clock.h"
#include "platform/ScreenCapture.h"
#include "recording/PulseCaptureStream.h"

#include <memory>

namespace norla {

// Screen capture as the recorder needs it on Linux, where only its audio matters: the shareable content is
// one display when PulseAudio can record what the default sink plays, and an error with PulseAudio's reason
// when it cannot; streams are PulseCaptureStreams, all stamped on one clock.
class PulseScreenCapture final : public ScreenCapture {
public:
    explicit PulseScreenCapture(
        std::shared_ptr<const Clock> clock = std::make_shared<SteadyClock>(), PulseCaptureStream::Sources sources = {});

    // Answers on the calling thread.
    void getShareableContent(CompletionHandler<void(Result<ShareableContent>)> completion) override;
    std::shared_ptr<CaptureStream> makeStream(const ContentFilter& filter, const StreamConfiguration& configuration,
        std::weak_ptr<StreamDelegate> delegate) override;

private:
    const std::shared_ptr<const Clock> m_clock;
    const PulseCaptureStream::Sources m_sources;
};

} // namespace norla
