#pragma once

#include "platform/AudioFileWriter.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace norla::test {

// An audio file writer that keeps what it was given instead of encoding it. Opening creates the file
// (with placeholder bytes) so that renames and removals behave as with a real file. Failures can be
// planned for opening, for the n-th write and for closing.
class FakeAudioFileWriter final : public AudioFileWriter {
public:
    struct Written {
        std::filesystem::path file;
        std::vector<std::uint32_t> chunkLengths; // frame length of each write
        std::vector<std::vector<float>> channels; // every frame written, per channel
        bool closed = false;
    };

    Result<std::unique_ptr<AudioFile>> openForWriting(const std::filesystem::path& file,
        const AudioFileSettings& settings, const AudioFormat& processingFormat) override;

    void failOpening(Error error) { m_openFailure = std::move(error); }
    void failWrite(std::size_t index, Error error)
    {
        m_writeFailureIndex = index;
        m_writeFailure = std::move(error);
    }
    void failClosing(Error error) { m_closeFailure = std::move(error); }

    // Every file opened so far, in order.
    const std::vector<std::shared_ptr<Written>>& files() const { return m_files; }
    std::size_t openCount() const { return m_files.size(); }

private:
    std::optional<Error> m_openFailure;
    std::optional<std::size_t> m_writeFailureIndex;
    std::optional<Error> m_writeFailure;
    std::optional<Error> m_closeFailure;
    std::vector<std::shared_ptr<Written>> m_files;
};

} // namespace norla::test
