#include "recording/SwrResampler.h"

#include "recording/FfmpegError.h"

namespace norla {

Result<SwrResampler> SwrResampler::make(
    const AVChannelLayout& inputLayout, AVSampleFormat inputFormat, int inputRate, int outputChannels, int outputRate)
{
    AVChannelLayout outputLayout;
    av_channel_layout_default(&outputLayout, outputChannels);
    // FFmpeg 5.1 takes the layouts by mutable pointer.
    AVChannelLayout inputCopy {};
    if (int copied = av_channel_layout_copy(&inputCopy, &inputLayout); copied < 0)
        return ffmpegError(copied);
    SwrContext* raw = nullptr;
    int status = swr_alloc_set_opts2(
        &raw, &outputLayout, AV_SAMPLE_FMT_FLTP, outputRate, &inputCopy, inputFormat, inputRate, 0, nullptr);
    av_channel_layout_uninit(&outputLayout);
    av_channel_layout_uninit(&inputCopy);
    SwrContextPtr context(raw);
    if (status < 0)
        return ffmpegError(status);
    if (status = swr_init(context.get()); status < 0)
        return ffmpegError(status);
    return SwrResampler(std::move(context));
}

Result<int> SwrResampler::convert(
    std::uint8_t* const* output, int capacity, const std::uint8_t* const* input, int frames)
{
    int written = swr_convert(
        m_context.get(), const_cast<std::uint8_t**>(output), capacity, const_cast<const std::uint8_t**>(input), frames);
    if (written < 0)
        return ffmpegError(written);
    return written;
}

int SwrResampler::outputCapacity(int frames) const { return swr_get_out_samples(m_context.get(), frames); }

} // namespace norla
