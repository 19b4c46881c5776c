#pragma once

#include "platform/MediaComposition.h"

namespace norla {

// Assets, compositions and exports on AVFoundation: `AVURLAsset`, `AVMutableComposition`,
// `AVAssetExportSession`.
class AVMediaComposer final : public MediaComposer {
public:
    std::shared_ptr<MediaAsset> makeAsset(const std::filesystem::path& file) override;
    std::shared_ptr<MutableComposition> makeComposition() override;
    std::shared_ptr<ExportSession> makeExportSession(
        const std::shared_ptr<MutableComposition>& composition, ExportPreset preset) override;
};

} // namespace norla
