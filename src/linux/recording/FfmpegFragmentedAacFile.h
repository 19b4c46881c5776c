#pragma once

#include "platform/AudioFileWriter.h"
#include "platform/PassKey.h"
#include "recording/FfmpegPtr.h"

#include <memory>

namespace norla {

// An AAC-LC .m4a file written as a fragmented MPEG-4 stream: the index comes with the first fragment (late
// enough to carry the encoder's priming in its edit list, so that players skip it) and every second of
// audio follows as a self-contained fragment that reaches the disk as soon as it is complete. A process
// killed while writing leaves a file that plays up to its last whole fragment; close() finishes it and
// rewrites it as a regular file whose index states its exact length.
class FfmpegFragmentedAacFile final : public AudioFile {
public:
    static Result<std::unique_ptr<AudioFile>> open(
        const std::filesystem::path& file, const AudioFileSettings& settings, const AudioFormat& processingFormat);

    // Only open() makes files.
    explicit FfmpegFragmentedAacFile(PassKey<FfmpegFragmentedAacFile>) { }

    Result<void> write(const AudioPcmBuffer& buffer) override;
    Result<void> close() override;

private:
    // Replaces the finished fragmented file by a regular one with the same packets.
    static Result<void> rewriteUnfragmented(const std::filesystem::path& file);

    std::filesystem::path m_path;
    std::unique_ptr<AudioFile> m_file;
};

} // namespace norla
