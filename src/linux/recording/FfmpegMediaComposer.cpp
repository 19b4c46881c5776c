#include "recording/FfmpegMediaComposer.h"

#include "recording/FfmpegAsset.h"
#include "recording/FfmpegComposition.h"
#include "recording/FfmpegExportSession.h"

namespace norla {

std::shared_ptr<MediaAsset> FfmpegMediaComposer::makeAsset(const std::filesystem::path& file)
{
    return std::make_shared<FfmpegAsset>(file);
}

std::shared_ptr<MutableComposition> FfmpegMediaComposer::makeComposition()
{
    return std::make_shared<FfmpegComposition>();
}

std::shared_ptr<ExportSession> FfmpegMediaComposer::makeExportSession(
    const std::shared_ptr<MutableComposition>& composition, ExportPreset)
{
    auto ours = std::dynamic_pointer_cast<FfmpegComposition>(composition);
    if (!ours)
        return nullptr;
    return std::make_shared<FfmpegExportSession>(std::move(ours));
}

} // namespace norla
