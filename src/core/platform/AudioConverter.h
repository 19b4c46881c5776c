#pragma once

#include "platform/AudioFormat.h"
#include "platform/AudioPcmBuffer.h"
#include "platform/Result.h"

#include <functional>
#include <memory>

namespace norla {

// What an input block reports with the buffer it hands over (AVAudioConverterInputStatus).
enum class AudioConverterInputStatus {
    haveData = 0,
    noDataNow = 1,
    endOfStream = 2,
};

enum class AudioConverterOutputStatus {
    haveData,
    inputRanDry,
    endOfStream,
};

// Called by the converter whenever it wants input: returns a buffer (or null) and sets the status.
using AudioConverterInputBlock = std::function<const AudioPcmBuffer*(AudioConverterInputStatus& status)>;

// Converts PCM audio between formats and rates (the role of AVAudioConverter). A converter keeps its
// resampler's state from one call to the next.
class AudioConverter {
public:
    virtual ~AudioConverter() = default;
    // Fills `output` (setting its frame length) from what `input` hands over; fails with the platform's error.
    virtual Result<AudioConverterOutputStatus> convert(AudioPcmBuffer& output, const AudioConverterInputBlock& input)
        = 0;
};

// Creates converters (the seam over the platform's resampler).
class AudioConverters {
public:
    virtual ~AudioConverters() = default;
    // Null when the platform cannot convert between the two formats.
    virtual std::unique_ptr<AudioConverter> makeConverter(const AudioFormat& from, const AudioFormat& to) = 0;
};

} // namespace norla
