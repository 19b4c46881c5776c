#include "FakeAudioFileWriter.h"

#include <fstream>

namespace norla::test {

namespace {

    class FakeAudioFile final : public AudioFile {
    public:
        FakeAudioFile(std::shared_ptr<FakeAudioFileWriter::Written> written, std::optional<std::size_t> failIndex,
            std::optional<Error> writeFailure, std::optional<Error> closeFailure)
            : m_written(std::move(written))
            , m_failIndex(failIndex)
            , m_writeFailure(std::move(writeFailure))
            , m_closeFailure(std::move(closeFailure))
        {
        }

        Result<void> write(const AudioPcmBuffer& buffer) override
        {
            if (m_failIndex && *m_failIndex == m_written->chunkLengths.size())
                return *m_writeFailure;
            m_written->chunkLengths.push_back(buffer.frameLength());
            for (int channel = 0; channel < buffer.format().channelCount; ++channel) {
                auto data = buffer.floatChannelData(channel).first(buffer.frameLength());
                auto& target = m_written->channels.at(static_cast<std::size_t>(channel));
                target.insert(target.end(), data.begin(), data.end());
            }
            return {};
        }

        Result<void> close() override
        {
            if (m_closeFailure)
                return *m_closeFailure;
            m_written->closed = true;
            return {};
        }

    private:
        std::shared_ptr<FakeAudioFileWriter::Written> m_written;
        std::optional<std::size_t> m_failIndex;
        std::optional<Error> m_writeFailure;
        std::optional<Error> m_closeFailure;
    };

} // namespace

Result<std::unique_ptr<AudioFile>> FakeAudioFileWriter::openForWriting(
    const std::filesystem::path& file, const AudioFileSettings&, const AudioFormat& processingFormat)
{
    if (m_openFailure)
        return *m_openFailure;
    std::ofstream(file, std::ios::binary | std::ios::trunc) << "fake audio";
    auto written = std::make_shared<Written>();
    written->file = file;
    written->channels.resize(static_cast<std::size_t>(std::max(processingFormat.channelCount, 0)));
    m_files.push_back(written);
    return std::unique_ptr<AudioFile>(
        std::make_unique<FakeAudioFile>(std::move(written), m_writeFailureIndex, m_writeFailure, m_closeFailure));
}

} // namespace norla::test
