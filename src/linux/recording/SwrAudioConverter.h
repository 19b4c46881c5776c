#pragma once

#include "platform/AudioConverter.h"
#include "recording/SwrResampler.h"

namespace norla {

// Converts non-interleaved float PCM between rates and channel counts with libswresample.
class SwrAudioConverter final : public AudioConverter {
public:
    static std::unique_ptr<AudioConverter> make(const AudioFormat& from, const AudioFormat& to);

    Result<AudioConverterOutputStatus> convert(AudioPcmBuffer& output, const AudioConverterInputBlock& input) override;

    explicit SwrAudioConverter(SwrResampler resampler)
        : m_resampler(std::move(resampler))
    {
    }

private:
    SwrResampler m_resampler;
};

// The converter seam on libswresample.
class SwrAudioConverters final : public AudioConverters {
public:
    std::unique_ptr<AudioConverter> makeConverter(const AudioFormat& from, const AudioFormat& to) override
    {
        return SwrAudioConverter::make(from, to);
    }
};

} // namespace norla
