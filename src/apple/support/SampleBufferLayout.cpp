#include "support/SampleBufferLayout.h"

#include <cstring>

namespace norla {

namespace {

    enum class SampleKind { float32, int16, int32 };

    std::optional<SampleKind> sampleKind(const StreamDescription& description)
    {
        if (description.formatId != StreamDescription::linearPcm
            || (description.formatFlags & StreamDescription::flagIsBigEndian) != 0)
            return std::nullopt;
        bool isFloat = (description.formatFlags & StreamDescription::flagIsFloat) != 0;
        if (isFloat)
            return description.bitsPerChannel == 32 ? std::optional(SampleKind::float32) : std::nullopt;
        if ((description.formatFlags & StreamDescription::flagIsSignedInteger) == 0)
            return std::nullopt;
        if (description.bitsPerChannel == 16)
            return SampleKind::int16;
        if (description.bitsPerChannel == 32)
            return SampleKind::int32;
        return std::nullopt;
    }

    std::size_t bytesPerSample(SampleKind kind) { return kind == SampleKind::int16 ? 2 : 4; }

    float sampleAt(const unsigned char* bytes, std::size_t index, SampleKind kind)
    {
        switch (kind) {
        case SampleKind::float32: {
            float value = 0;
            std::memcpy(&value, bytes + index * 4, 4);
            return value;
        }
        case SampleKind::int16: {
            std::int16_t value = 0;
            std::memcpy(&value, bytes + index * 2, 2);
            return static_cast<float>(value) / 32768.0F;
        }
        case SampleKind::int32: {
            std::int32_t value = 0;
            std::memcpy(&value, bytes + index * 4, 4);
            return static_cast<float>(static_cast<double>(value) / 2147483648.0);
        }
        }
        return 0;
    }

} // namespace

std::optional<AudioFormat> pcmFormat(const StreamDescription& description)
{
    if (!sampleKind(description) || description.channelsPerFrame == 0 || description.sampleRate <= 0)
        return std::nullopt;
    return AudioFormat { AudioCommonFormat::pcmFloat32, description.sampleRate,
        static_cast<int>(description.channelsPerFrame), false };
}

int copyPcm(const StreamDescription& description, std::span<const AudioBufferData> buffers, AudioPcmBuffer& into,
    std::size_t frameCount)
{
    auto kind = sampleKind(description);
    auto channels = static_cast<std::size_t>(description.channelsPerFrame);
    if (!kind || channels == 0 || static_cast<std::size_t>(into.format().channelCount) != channels
        || frameCount > into.frameCapacity())
        return audioParamError;
    bool interleaved = (description.formatFlags & StreamDescription::flagIsNonInterleaved) == 0;
    std::size_t planes = interleaved ? 1 : channels;
    std::size_t samplesPerFrame = interleaved ? channels : 1;
    if (buffers.size() != planes)
        return audioParamError;
    for (const auto& buffer : buffers) {
        if (!buffer.data || buffer.byteSize < frameCount * samplesPerFrame * bytesPerSample(*kind))
            return audioParamError;
    }
    for (std::size_t channel = 0; channel < channels; ++channel) {
        const auto& buffer = buffers[interleaved ? 0 : channel];
        const auto* bytes = static_cast<const unsigned char*>(buffer.data);
        auto out = into.floatChannelData(static_cast<int>(channel));
        for (std::size_t frame = 0; frame < frameCount; ++frame) {
            std::size_t index = interleaved ? frame * channels + channel : frame;
            out[frame] = sampleAt(bytes, index, *kind);
        }
    }
    into.setFrameLength(static_cast<std::uint32_t>(frameCount));
    return 0;
}

} // namespace norla
