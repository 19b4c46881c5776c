#pragma once

#include "platform/AudioFormat.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace norla {

// A buffer of non-interleaved 32-bit float PCM audio with a fixed capacity, in the shape of
// AVAudioPCMBuffer: the frame length says how many frames of each channel are valid.
class AudioPcmBuffer {
public:
    // Nothing when the format is not non-interleaved float, has no channels, or the capacity is 0 or cannot
    // be allocated.
    static std::optional<AudioPcmBuffer> make(const AudioFormat& format, std::uint32_t frameCapacity);

    const AudioFormat& format() const { return m_format; }
    std::uint32_t frameCapacity() const { return m_frameCapacity; }
    std::uint32_t frameLength() const { return m_frameLength; }
    // Lengths beyond the capacity are cut to it.
    void setFrameLength(std::uint32_t length);

    // The whole capacity of one channel.
    std::span<float> floatChannelData(int channel);
    std::span<const float> floatChannelData(int channel) const;

private:
    AudioPcmBuffer(const AudioFormat& format, std::uint32_t frameCapacity, std::vector<float> samples);

    AudioFormat m_format;
    std::uint32_t m_frameCapacity = 0;
    std::uint32_t m_frameLength = 0;
    std::vector<float> m_samples; // channel after channel
};

} // namespace norla
