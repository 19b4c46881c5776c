#include "recording/PulseSampleBuffer.h"

#include <cmath>

namespace norla {

PulseSampleBuffer::PulseSampleBuffer(
    std::vector<float> interleavedSamples, double sampleRate, int channelCount, double presentationTime)
    : m_samples(std::move(interleavedSamples))
    , m_sampleRate(sampleRate)
    , m_channelCount(channelCount)
    , m_presentationTime(presentationTime)
{
}

std::optional<AudioFormat> PulseSampleBuffer::formatDescription() const
{
    if (!isValid())
        return std::nullopt;
    return AudioFormat { AudioCommonFormat::pcmFloat32, m_sampleRate, m_channelCount, false };
}

std::size_t PulseSampleBuffer::numSamples() const
{
    return m_channelCount > 0 ? m_samples.size() / static_cast<std::size_t>(m_channelCount) : 0;
}

std::optional<double> PulseSampleBuffer::outputPresentationTime() const
{
    if (!std::isfinite(m_presentationTime))
        return std::nullopt;
    return m_presentationTime;
}

int PulseSampleBuffer::copyPcmData(AudioPcmBuffer& into, std::size_t frameCount) const
{
    auto channels = static_cast<std::size_t>(m_channelCount);
    if (frameCount > numSamples() || frameCount > into.frameCapacity() || into.format().channelCount != m_channelCount)
        return parameterError;
    for (std::size_t channel = 0; channel < channels; ++channel) {
        auto target = into.floatChannelData(static_cast<int>(channel));
        for (std::size_t frame = 0; frame < frameCount; ++frame)
            target[frame] = m_samples[frame * channels + channel];
    }
    into.setFrameLength(static_cast<std::uint32_t>(frameCount));
    return 0;
}

} // namespace norla
