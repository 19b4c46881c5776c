#pragma once

#include "platform/AudioFileWriter.h"

namespace norla {

// Encoded audio files written by `AVAudioFile` from non-interleaved float buffers.
class AVAudioFileWriter final : public AudioFileWriter {
public:
    Result<std::unique_ptr<AudioFile>> openForWriting(const std::filesystem::path& file,
        const AudioFileSettings& settings, const AudioFormat& processingFormat) override;
};

} // namespace norla
