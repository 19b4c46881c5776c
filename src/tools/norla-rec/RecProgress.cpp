#include "RecProgress.h"

#include "TerminalProgress.h"
#include "platform/AudioFileWriter.h"
#include "platform/Seams.h"
#include "recording/RawTrack.h"
#include "recording/RecordingFiles.h"

#include <algorithm>
#include <atomic>

namespace norla {

namespace {

    using FrameCount = std::atomic<std::uint64_t>;

    class CountingFile final : public AudioFile {
    public:
        CountingFile(std::unique_ptr<AudioFile> file, std::shared_ptr<FrameCount> frames)
            : m_file(std::move(file))
            , m_frames(std::move(frames))
        {
        }
        Result<void> write(const AudioPcmBuffer& buffer) override
        {
            *m_frames += buffer.frameLength();
            return m_file->write(buffer);
        }
        Result<void> close() override { return m_file->close(); }

    private:
        std::unique_ptr<AudioFile> m_file;
        std::shared_ptr<FrameCount> m_frames;
    };

    // The mixdown writes one frame per sample of its longer track: counting the frames it writes tells
    // how far it is.
    class CountingWriter final : public AudioFileWriter {
    public:
        CountingWriter(std::shared_ptr<AudioFileWriter> writer, std::shared_ptr<FrameCount> frames)
            : m_writer(std::move(writer))
            , m_frames(std::move(frames))
        {
        }
        Result<std::unique_ptr<AudioFile>> openForWriting(const std::filesystem::path& file,
            const AudioFileSettings& settings, const AudioFormat& processingFormat) override
        {
            auto opened = m_writer->openForWriting(file, settings, processingFormat);
            if (!opened)
                return opened.error();
            return std::unique_ptr<AudioFile>(std::make_unique<CountingFile>(std::move(opened).value(), m_frames));
        }

    private:
        std::shared_ptr<AudioFileWriter> m_writer;
        std::shared_ptr<FrameCount> m_frames;
    };

    class ShownExportSession final : public ExportSession {
    public:
        explicit ShownExportSession(std::shared_ptr<ExportSession> session)
            : m_session(std::move(session))
        {
        }
        void exportAsynchronously(const std::filesystem::path& output, ExportFileType fileType,
            CompletionHandler<void(Result<void>)> completion) override
        {
            auto shown
                = std::make_shared<TerminalProgress>("merge", [session = m_session] { return session->progress(); });
            m_session->exportAsynchronously(output, fileType,
                [shown = std::move(shown), completion = std::move(completion)](Result<void> result) mutable {
                    shown.reset(); // the line is gone before the caller prints its result
                    completion(std::move(result));
                });
        }
        void cancelExport() override { m_session->cancelExport(); }
        float progress() const override { return m_session->progress(); }

    private:
        std::shared_ptr<ExportSession> m_session;
    };

    class ShownComposer final : public MediaComposer {
    public:
        explicit ShownComposer(std::shared_ptr<MediaComposer> composer)
            : m_composer(std::move(composer))
        {
        }
        std::shared_ptr<MediaAsset> makeAsset(const std::filesystem::path& file) override
        {
            return m_composer->makeAsset(file);
        }
        std::shared_ptr<MutableComposition> makeComposition() override { return m_composer->makeComposition(); }
        std::shared_ptr<ExportSession> makeExportSession(
            const std::shared_ptr<MutableComposition>& composition, ExportPreset preset) override
        {
            auto session = m_composer->makeExportSession(composition, preset);
            return session ? std::make_shared<ShownExportSession>(std::move(session)) : nullptr;
        }

    private:
        std::shared_ptr<MediaComposer> m_composer;
    };

} // namespace

Result<std::filesystem::path> RecProgress::mixdown(const std::filesystem::path& dir,
    const std::shared_ptr<AudioFileWriter>& writer,
    const std::function<Result<std::filesystem::path>(AudioFileWriter&)>& work)
{
    if (!TerminalProgress::isShown())
        return work(*writer);
    auto total = std::max(RawTrack::sampleCount(dir / RecordingFiles::systemTrackName),
        RawTrack::sampleCount(dir / RecordingFiles::micTrackName));
    auto frames = std::make_shared<FrameCount>(0);
    CountingWriter counting(writer, frames);
    TerminalProgress shown("mixdown", [frames, total] {
        return total == 0 ? 0.0 : static_cast<double>(frames->load()) / static_cast<double>(total);
    });
    return work(counting);
}

std::shared_ptr<MediaComposer> RecProgress::composer(std::shared_ptr<MediaComposer> composer)
{
    if (!TerminalProgress::isShown())
        return composer;
    return std::make_shared<ShownComposer>(std::move(composer));
}

} // namespace norla
