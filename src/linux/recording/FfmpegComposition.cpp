#include "recording/FfmpegComposition.h"

#include "recording/FfmpegAsset.h"

namespace norla {

Result<void> FfmpegCompositionTrack::insertTimeRange(const MediaTimeRange& range, const AssetTrack& track, MediaTime at)
{
    auto* source = dynamic_cast<const FfmpegAssetTrack*>(&track);
    if (!source)
        return Error::platform("The track does not belong to a file that can be decoded.");
    std::lock_guard lock(m_mutex);
    m_pieces.push_back({ source->file(), source->streamIndex(), range, at });
    return {};
}

std::vector<CompositionPiece> FfmpegCompositionTrack::pieces() const
{
    std::lock_guard lock(m_mutex);
    return m_pieces;
}

std::shared_ptr<CompositionTrack> FfmpegComposition::addAudioTrack()
{
    std::lock_guard lock(m_mutex);
    return m_tracks.emplace_back(std::make_shared<FfmpegCompositionTrack>());
}

std::shared_ptr<FfmpegCompositionTrack> FfmpegComposition::firstTrack() const
{
    std::lock_guard lock(m_mutex);
    return m_tracks.empty() ? nullptr : m_tracks.front();
}

} // namespace norla
