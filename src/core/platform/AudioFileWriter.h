#pragma once

#include "platform/AudioFormat.h"
#include "platform/AudioPcmBuffer.h"
#include "platform/Result.h"

#include <cstdint>
#include <filesystem>
#include <memory>

namespace norla {

// The four-character code "aac " (MPEG-4 AAC) as an unsigned 32-bit number.
inline constexpr std::uint32_t audioFormatMpeg4Aac = 0x61616320;

// How an encoded audio file is written: the settings dictionary of AVAudioFile.
struct AudioFileSettings {
    std::uint32_t formatId = audioFormatMpeg4Aac;
    double sampleRate = 0;
    int numberOfChannels = 0;
    int encoderBitRate = 0;

    bool operator==(const AudioFileSettings&) const = default;
};

// An encoded audio file open for writing (the role of AVAudioFile).
class AudioFile {
public:
    virtual ~AudioFile() = default;
    // Encodes the buffer's valid frames after everything written before.
    virtual Result<void> write(const AudioPcmBuffer& buffer) = 0;
    // Finishes the file: encodes what is still pending and writes the container's index. Nothing is
    // written afterwards. Releasing a file without closing it leaves an unfinished file behind.
    virtual Result<void> close() = 0;
};

// Creates encoded audio files (the seam over the platform's encoder and container).
class AudioFileWriter {
public:
    virtual ~AudioFileWriter() = default;
    // Creates (or replaces) `file`, encoded with `settings`, taking buffers in `processingFormat`.
    virtual Result<std::unique_ptr<AudioFile>> openForWriting(
        const std::filesystem::path& file, const AudioFileSettings& settings, const AudioFormat& processingFormat)
        = 0;
};

} // namespace norla
