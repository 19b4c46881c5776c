#include "platform/AudioPcmBuffer.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <utility>

namespace norla {

std::optional<AudioPcmBuffer> AudioPcmBuffer::make(const AudioFormat& format, std::uint32_t frameCapacity)
{
    if (format.commonFormat != AudioCommonFormat::pcmFloat32 || format.interleaved || format.channelCount < 1
        || frameCapacity == 0)
        return std::nullopt;
    try {
        std::vector<float> samples(
            static_cast<std::size_t>(frameCapacity) * static_cast<std::size_t>(format.channelCount));
        return AudioPcmBuffer(format, frameCapacity, std::move(samples));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    } catch (const std::length_error&) {
        return std::nullopt;
    }
}

AudioPcmBuffer::AudioPcmBuffer(const AudioFormat& format, std::uint32_t frameCapacity, std::vector<float> samples)
    : m_format(format)
    , m_frameCapacity(frameCapacity)
    , m_samples(std::move(samples))
{
}

void AudioPcmBuffer::setFrameLength(std::uint32_t length) { m_frameLength = std::min(length, m_frameCapacity); }

std::span<float> AudioPcmBuffer::floatChannelData(int channel)
{
    if (channel < 0 || channel >= m_format.channelCount)
        throw std::out_of_range("no such channel in the buffer");
    return std::span<float>(m_samples).subspan(static_cast<std::size_t>(channel) * m_frameCapacity, m_frameCapacity);
}

std::span<const float> AudioPcmBuffer::floatChannelData(int channel) const
{
    return const_cast<AudioPcmBuffer*>(this)->floatChannelData(channel);
}

} // namespace norla
