#include "recording/AVAudioFileWriter.h"

#include "foundation/FoundationConversions.h"
#include "recording/AVAudioFormats.h"

namespace norla {

namespace {

    class AVAudioFileAdapter final : public AudioFile {
    public:
        explicit AVAudioFileAdapter(AVAudioFile* file)
            : m_file(file)
        {
        }

        Result<void> write(const AudioPcmBuffer& buffer) override
        {
            AVAudioFile* file = m_file;
            if (!file)
                return Error::platform("The audio file is closed.");
            if (buffer.frameLength() == 0)
                return {};
            AVAudioPCMBuffer* copy = toAVAudioPCMBuffer(buffer, file.processingFormat);
            if (!copy)
                return Error::platform("The buffer does not fit the file's format.");
            NSError* error = nil;
            if ([file writeFromBuffer:copy error:&error] != YES)
                return toError(error);
            return {};
        }

        Result<void> close() override
        {
            AVAudioFile* file = m_file;
            if (!file)
                return {};
            // Before macOS 15 the file is finished when its last reference goes; from then on by close.
            if (@available(macCatalyst 18.0, iOS 18.0, *))
                [file close];
            m_file = nil;
            return {};
        }

    private:
        AVAudioFile* _Nullable m_file;
    };

} // namespace

Result<std::unique_ptr<AudioFile>> AVAudioFileWriter::openForWriting(
    const std::filesystem::path& file, const AudioFileSettings& settings, const AudioFormat& processingFormat)
{
    if (processingFormat.interleaved || processingFormat.commonFormat != AudioCommonFormat::pcmFloat32)
        return Error::platform("Only non-interleaved float buffers can be written.");
    NSURL* url = toFileURL(file);
    // Replacing: whatever was there goes first (a missing file is no failure).
    [[NSFileManager defaultManager] removeItemAtURL:url error:nil];
    NSError* error = nil;
    AVAudioFile* audioFile = [[AVAudioFile alloc] initForWriting:url
                                                        settings:toSettingsDictionary(settings)
                                                    commonFormat:AVAudioPCMFormatFloat32
                                                     interleaved:NO
                                                           error:&error];
    if (!audioFile)
        return toError(error);
    return std::unique_ptr<AudioFile>(std::make_unique<AVAudioFileAdapter>(audioFile));
}

} // namespace norla
