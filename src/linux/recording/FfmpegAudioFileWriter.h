#pragma once

#include "platform/AudioFileWriter.h"

namespace norla {

// Writes AAC .m4a files with FFmpeg.
class FfmpegAudioFileWriter final : public AudioFileWriter {
public:
    Result<std::unique_ptr<AudioFile>> openForWriting(const std::filesystem::path& file,
        const AudioFileSettings& settings, const AudioFormat& processingFormat) override;
};

} // namespace norla
