#pragma once

#include "platform/MediaComposition.h"

#include <filesystem>
#include <mutex>
#include <vector>

namespace norla {

// One piece of an asset's stream placed on a composition track.
struct CompositionPiece {
    std::filesystem::path file;
    int streamIndex = 0;
    MediaTimeRange range;
    MediaTime at;
};

class FfmpegCompositionTrack final : public CompositionTrack {
public:
    Result<void> insertTimeRange(const MediaTimeRange& range, const AssetTrack& track, MediaTime at) override;
    std::vector<CompositionPiece> pieces() const;

private:
    mutable std::mutex m_mutex;
    std::vector<CompositionPiece> m_pieces;
};

// A composition that only records where its pieces go; the export decodes them.
class FfmpegComposition final : public MutableComposition {
public:
    std::shared_ptr<CompositionTrack> addAudioTrack() override;
    // The first audio track, if any.
    std::shared_ptr<FfmpegCompositionTrack> firstTrack() const;

private:
    mutable std::mutex m_mutex;
    std::vector<std::shared_ptr<FfmpegCompositionTrack>> m_tracks;
};

} // namespace norla
