#include "recording/FfmpegAudioFileWriter.h"

#include "recording/FfmpegAacFile.h"

namespace norla {

Result<std::unique_ptr<AudioFile>> FfmpegAudioFileWriter::openForWriting(
    const std::filesystem::path& file, const AudioFileSettings& settings, const AudioFormat& processingFormat)
{
    return FfmpegAacFile::open(file, settings, processingFormat);
}

} // namespace norla
