#pragma once

#include "platform/AudioConverter.h"

namespace norla {

// Converters on `AVAudioConverter`, between non-interleaved float formats of any rate.
class AVAudioConverters final : public AudioConverters {
public:
    std::unique_ptr<AudioConverter> makeConverter(const AudioFormat& from, const AudioFormat& to) override;
};

} // namespace norla
