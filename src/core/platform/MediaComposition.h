#pragma once

#include "platform/CompletionHandler.h"
#include "platform/MediaTime.h"
#include "platform/Result.h"

#include <filesystem>
#include <memory>
#include <vector>

namespace norla {

// One track of an asset, as the composition refers to it.
class AssetTrack {
public:
    virtual ~AssetTrack() = default;
};

// A media file opened by URL (the role of AVURLAsset). Loading answers once, on any thread.
class MediaAsset {
public:
    virtual ~MediaAsset() = default;
    virtual void loadAudioTracks(CompletionHandler<void(Result<std::vector<std::shared_ptr<AssetTrack>>>)> completion)
        = 0;
    virtual void loadDuration(CompletionHandler<void(Result<MediaTime>)> completion) = 0;
};

// An audio track of a composition (AVMutableCompositionTrack).
class CompositionTrack {
public:
    virtual ~CompositionTrack() = default;
    // Places `range` of `track` at `at`; fails with the platform's error.
    virtual Result<void> insertTimeRange(const MediaTimeRange& range, const AssetTrack& track, MediaTime at) = 0;
};

// A composition of pieces of assets (AVMutableComposition).
class MutableComposition {
public:
    virtual ~MutableComposition() = default;
    // A new audio track whose identifier the platform chooses; null when the composition refuses.
    virtual std::shared_ptr<CompositionTrack> addAudioTrack() = 0;
};

enum class ExportPreset {
    appleM4A,
};

enum class ExportFileType {
    appleM4A,
};

// Writes a composition to a file (AVAssetExportSession).
class ExportSession {
public:
    virtual ~ExportSession() = default;
    // Writes the file; answers once, on any thread, with the failure or the cancellation as an error.
    virtual void exportAsynchronously(
        const std::filesystem::path& output, ExportFileType fileType, CompletionHandler<void(Result<void>)> completion)
        = 0;
    virtual void cancelExport() = 0;
    // How much of the file is written, from 0 to 1; readable on any thread while the export runs.
    virtual float progress() const = 0;
};

// Makes assets, compositions and export sessions (the seam over the platform's media framework).
class MediaComposer {
public:
    virtual ~MediaComposer() = default;
    virtual std::shared_ptr<MediaAsset> makeAsset(const std::filesystem::path& file) = 0;
    virtual std::shared_ptr<MutableComposition> makeComposition() = 0;
    // Null when no export session can be made for the composition with the preset.
    virtual std::shared_ptr<ExportSession> makeExportSession(
        const std::shared_ptr<MutableComposition>& composition, ExportPreset preset)
        = 0;
};

} // namespace norla
