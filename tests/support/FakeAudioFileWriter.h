#pragma once

#include "platform/AudioFileWriter.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <vector>

namespace norla::test {

// An audio file writer that keeps what it was given instead of encoding it. Opening creates the file
// (with placeholder bytes) so that renames and removals behave as with a real file. Failures can be
// planned for opening, for the n-th write (from 0) and for closing.
class FakeAudioFileWriter final : public AudioFileWriter {
public:
    struct Written {
        std::filesystem::path file;
        std::vector<std::uint32_t> chunkLengths; // frame length of each write
        std::vector<std::vector<float>> channels; // every frame written, per channel
        bool closed = false;
    };

    Result<std::unique_ptr<AudioFile>> openForWriting(
        const std::filesystem::path& file, const AudioFileSettings&, const AudioFormat& processingFormat) override
    {
        if (openFailure)
            return *openFailure;
        std::ofstream(file, std::ios::binary | std::ios::trunc) << "fake audio";
        auto written = std::make_shared<Written>(Written { file, {}, {}, false });
        written->channels.resize(static_cast<std::size_t>(std::max(processingFormat.channelCount, 0)));
        files.push_back(written);
        return std::unique_ptr<AudioFile>(std::make_unique<File>(std::move(written), *this));
    }

    // Planned failures, and every file opened so far, in order.
    std::optional<Error> openFailure;
    std::optional<std::pair<std::size_t, Error>> writeFailure;
    std::optional<Error> closeFailure;
    std::vector<std::shared_ptr<Written>> files;

private:
    struct File final : AudioFile {
        File(std::shared_ptr<Written> written, const FakeAudioFileWriter& writer)
            : m_written(std::move(written))
            , m_writer(writer)
        {
        }
        Result<void> write(const AudioPcmBuffer& buffer) override
        {
            if (m_writer.writeFailure && m_writer.writeFailure->first == m_written->chunkLengths.size())
                return m_writer.writeFailure->second;
            m_written->chunkLengths.push_back(buffer.frameLength());
            for (std::size_t channel = 0; channel < m_written->channels.size(); ++channel) {
                auto data = buffer.floatChannelData(static_cast<int>(channel)).first(buffer.frameLength());
                m_written->channels[channel].insert(m_written->channels[channel].end(), data.begin(), data.end());
            }
            return {};
        }
        Result<void> close() override
        {
            if (m_writer.closeFailure)
                return *m_writer.closeFailure;
            m_written->closed = true;
            return {};
        }
        std::shared_ptr<Written> m_written;
        const FakeAudioFileWriter& m_writer;
    };
};

} // namespace norla::test
