#pragma once

#include "platform/MediaComposition.h"

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace norla::test {

// Assets read from text files: a number is the file's duration in seconds with one audio track;
// "notaudio" fails to load its tracks, "notracks" has none, "noduration" fails to load its duration.
// An export writes one line per inserted piece, "name at=<seconds> duration=<seconds>", into the output.
class FakeMediaComposer final : public MediaComposer {
public:
    std::shared_ptr<MediaAsset> makeAsset(const std::filesystem::path& file) override;
    std::shared_ptr<MutableComposition> makeComposition() override;
    std::shared_ptr<ExportSession> makeExportSession(
        const std::shared_ptr<MutableComposition>& composition, ExportPreset preset) override;

    void refuseTrack(bool refuse) { m_refuseTrack = refuse; }
    void failInsert(bool fail) { m_failInsert = fail; }
    void refuseExportSession(bool refuse) { m_refuseExport = refuse; }
    void failExport(bool fail) { m_failExport = fail; }
    int exportCount() const { return m_exports; }

private:
    std::atomic<bool> m_refuseTrack { false };
    std::atomic<bool> m_failInsert { false };
    std::atomic<bool> m_refuseExport { false };
    std::atomic<bool> m_failExport { false };
    std::atomic<int> m_exports { 0 };
    friend class FakeExportSession;
    friend class FakeCompositionTrack;
};

} // namespace norla::test
