#pragma once

#include "platform/MediaComposition.h"

#include <atomic>

namespace norla::test {

// Assets read from text files: a number is the file's duration in seconds with one audio track;
// "notaudio" fails to load its tracks, "notracks" has none, "noduration" fails to load its duration.
// An export writes one line per inserted piece, "name at=<seconds> duration=<seconds>", into the output.
class FakeMediaComposer final : public MediaComposer {
public:
    enum class Failure { none, track, insert, exportSession, exporting };

    std::shared_ptr<MediaAsset> makeAsset(const std::filesystem::path& file) override;
    std::shared_ptr<MutableComposition> makeComposition() override;
    std::shared_ptr<ExportSession> makeExportSession(
        const std::shared_ptr<MutableComposition>& composition, ExportPreset preset) override;

    void fail(Failure failure) { m_failure = failure; }
    Failure failure() const { return m_failure; }
    int exportCount() const { return m_exports; }
    void didExport() { ++m_exports; }

private:
    std::atomic<Failure> m_failure { Failure::none };
    std::atomic<int> m_exports { 0 };
};

} // namespace norla::test
