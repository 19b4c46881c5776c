#pragma once

#include "platform/ScreenCapture.h"

#import <CoreMedia/CoreMedia.h>

NS_ASSUME_NONNULL_BEGIN

namespace norla {

// A delivered `CMSampleBuffer` of audio, valid only during the callback that delivers it (the capture
// reads it there). Its PCM is read in whatever layout the buffer has: the microphone comes in the device's
// own format.
class CMSampleBufferAdapter final : public SampleBuffer {
public:
    explicit CMSampleBufferAdapter(CMSampleBufferRef buffer)
        : m_buffer(buffer)
    {
    }

    bool isValid() const override;
    std::optional<AudioFormat> formatDescription() const override;
    std::size_t numSamples() const override;
    std::optional<double> outputPresentationTime() const override;
    int copyPcmData(AudioPcmBuffer& into, std::size_t frameCount) const override;

private:
    CMSampleBufferRef m_buffer;
};

} // namespace norla

NS_ASSUME_NONNULL_END
