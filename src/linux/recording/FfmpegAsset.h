#pragma once

#include "platform/MediaComposition.h"
#include "recording/FfmpegPtr.h"

#include <filesystem>

namespace norla {

// An audio stream of a file, as a composition refers to it.
class FfmpegAssetTrack final : public AssetTrack {
public:
    FfmpegAssetTrack(std::filesystem::path file, int streamIndex)
        : m_file(std::move(file))
        , m_streamIndex(streamIndex)
    {
    }
    const std::filesystem::path& file() const { return m_file; }
    int streamIndex() const { return m_streamIndex; }

private:
    std::filesystem::path m_file;
    int m_streamIndex;
};

// An encoded audio file read with libavformat. Loading works on the calling thread and answers at once.
class FfmpegAsset final : public MediaAsset {
public:
    explicit FfmpegAsset(std::filesystem::path file)
        : m_file(std::move(file))
    {
    }
    // Opens `file` for demuxing, with its streams probed.
    static Result<AVInputFormatContextPtr> openInput(const std::filesystem::path& file);

    void loadAudioTracks(CompletionHandler<void(Result<std::vector<std::shared_ptr<AssetTrack>>>)> completion) override;
    void loadDuration(CompletionHandler<void(Result<MediaTime>)> completion) override;

private:
    std::filesystem::path m_file;
};

} // namespace norla
