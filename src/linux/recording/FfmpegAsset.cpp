#include "recording/FfmpegAsset.h"

#include "recording/FfmpegError.h"

#include <limits>

namespace norla {

Result<AVInputFormatContextPtr> FfmpegAsset::openInput(const std::filesystem::path& file)
{
    AVFormatContext* raw = nullptr;
    if (int status = avformat_open_input(&raw, file.c_str(), nullptr, nullptr); status < 0)
        return ffmpegError(status);
    AVInputFormatContextPtr context(raw);
    if (int status = avformat_find_stream_info(context.get(), nullptr); status < 0)
        return ffmpegError(status);
    return context;
}

void FfmpegAsset::loadAudioTracks(CompletionHandler<void(Result<std::vector<std::shared_ptr<AssetTrack>>>)> completion)
{
    auto input = openInput(m_file);
    if (!input)
        return completion(input.error());
    std::vector<std::shared_ptr<AssetTrack>> tracks;
    int index = av_find_best_stream(input.value().get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (index >= 0)
        tracks.push_back(std::make_shared<FfmpegAssetTrack>(m_file, index));
    completion(std::move(tracks));
}

void FfmpegAsset::loadDuration(CompletionHandler<void(Result<MediaTime>)> completion)
{
    auto input = openInput(m_file);
    if (!input)
        return completion(input.error());
    auto* context = input.value().get();
    int index = av_find_best_stream(context, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (index >= 0) {
        auto* stream = context->streams[index];
        if (stream->duration != AV_NOPTS_VALUE && stream->time_base.num > 0 && stream->time_base.den > 0)
            return completion(MediaTime { stream->duration * stream->time_base.num, stream->time_base.den });
    }
    if (context->duration != AV_NOPTS_VALUE)
        return completion(MediaTime { context->duration, AV_TIME_BASE });
    completion(ffmpegError(AVERROR_INVALIDDATA));
}

} // namespace norla
