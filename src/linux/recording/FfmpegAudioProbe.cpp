#include "recording/FfmpegAudioProbe.h"

#include "recording/FfmpegPtr.h"

namespace norla {

std::optional<double> FfmpegAudioProbe::duration(const std::filesystem::path& file)
{
    AVFormatContext* opened = nullptr;
    // On failure avformat_open_input frees what it allocated.
    if (avformat_open_input(&opened, file.c_str(), nullptr, nullptr) < 0)
        return std::nullopt;
    AVInputFormatContextPtr container(opened);
    if (avformat_find_stream_info(container.get(), nullptr) < 0)
        return std::nullopt;
    if (container->duration == AV_NOPTS_VALUE || container->duration < 0)
        return std::nullopt;
    return static_cast<double>(container->duration) / AV_TIME_BASE;
}

} // namespace norla
