#pragma once

#include "platform/ScreenCapture.h"

#include <vector>

namespace norla {

// One block read from a PulseAudio record stream, as the capture receives it: float samples (interleaved
// as PulseAudio delivers them, handed out per channel) and the capture time of the first frame.
class PulseSampleBuffer final : public SampleBuffer {
public:
    PulseSampleBuffer(
        std::vector<float> interleavedSamples, double sampleRate, int channelCount, double presentationTime);

    bool isValid() const override { return m_channelCount > 0 && m_sampleRate > 0; }
    std::optional<AudioFormat> formatDescription() const override;
    std::size_t numSamples() const override;
    std::optional<double> outputPresentationTime() const override;
    int copyPcmData(AudioPcmBuffer& into, std::size_t frameCount) const override;

    // The status copyPcmData answers when the buffer cannot take the frames.
    static constexpr int parameterError = -50;

private:
    std::vector<float> m_samples;
    double m_sampleRate;
    int m_channelCount;
    double m_presentationTime;
};

} // namespace norla
