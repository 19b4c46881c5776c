#pragma once

#include "platform/AudioFormat.h"
#include "platform/AudioPcmBuffer.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace norla {

// The fields of an `AudioStreamBasicDescription` that say how a sample buffer's PCM is laid out.
struct StreamDescription {
    // `kAudioFormatLinearPCM` ('lpcm') and the format flags, as CoreAudio numbers them.
    static constexpr std::uint32_t linearPcm = 0x6C70636D;
    static constexpr std::uint32_t flagIsFloat = 1U << 0;
    static constexpr std::uint32_t flagIsBigEndian = 1U << 1;
    static constexpr std::uint32_t flagIsSignedInteger = 1U << 2;
    static constexpr std::uint32_t flagIsNonInterleaved = 1U << 5;

    double sampleRate = 0;
    std::uint32_t formatId = 0;
    std::uint32_t formatFlags = 0;
    std::uint32_t channelsPerFrame = 0;
    std::uint32_t bitsPerChannel = 0;
};

// One `AudioBuffer` of an `AudioBufferList`: all channels when interleaved, else one channel.
struct AudioBufferData {
    const void* data = nullptr;
    std::size_t byteSize = 0;
};

// The core's buffers are non-interleaved 32-bit float: the format a sample buffer's audio takes in them, at
// its own rate and channel count. Nothing for layouts the copy below cannot read (not linear PCM, big
// endian, other sample sizes).
std::optional<AudioFormat> pcmFormat(const StreamDescription& description);

// The status a copy answers when the layout or the sizes do not fit (`kAudio_ParamError`).
inline constexpr int audioParamError = -50;

// Copies `frameCount` frames from the buffer list into `into` (float, one plane per channel), converting
// 16- and 32-bit integer samples to float and splitting interleaved frames. Answers 0, or audioParamError
// without touching `into` when the buffers hold fewer frames, `into` is too small or has other channels.
int copyPcm(const StreamDescription& description, std::span<const AudioBufferData> buffers, AudioPcmBuffer& into,
    std::size_t frameCount);

} // namespace norla
