#pragma once

#include "platform/AudioFileWriter.h"
#include "platform/MediaComposition.h"
#include "recording/FfmpegComposition.h"

#include <atomic>
#include <memory>

namespace norla {

// Exports a composition's first audio track to one AAC .m4a: every piece is decoded, resampled to the
// first piece's rate and channel count and encoded once, back to back, so that no encoder priming or
// timestamp jump lands between pieces. The file is written under a temporary name in the output's
// directory and renamed when complete. Works on the calling thread and answers before returning.
class FfmpegExportSession final : public ExportSession {
public:
    explicit FfmpegExportSession(std::shared_ptr<FfmpegComposition> composition)
        : m_composition(std::move(composition))
    {
    }

    void exportAsynchronously(const std::filesystem::path& output, ExportFileType fileType,
        CompletionHandler<void(Result<void>)> completion) override;
    void cancelExport() override { m_cancelled = true; }
    float progress() const override { return m_progress; }

    // The temporary name of an export in progress, next to the output.
    static constexpr std::string_view temporaryName = "meeting.merging.m4a";

private:
    Result<void> exportTo(const std::filesystem::path& file);
    Result<std::int64_t> appendPiece(const CompositionPiece& piece, AudioFile& output, const AudioFormat& format);

    std::shared_ptr<FfmpegComposition> m_composition;
    std::atomic<bool> m_cancelled { false };
    std::atomic<float> m_progress { 0 };
};

} // namespace norla
