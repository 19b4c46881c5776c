#include "recording/SwrAudioConverter.h"

#include <vector>

namespace norla {

namespace {

    bool isPlanarFloat(const AudioFormat& format)
    {
        return format.commonFormat == AudioCommonFormat::pcmFloat32 && !format.interleaved && format.channelCount > 0
            && format.channelCount <= 8 && format.sampleRate >= 1 && format.sampleRate <= 384000;
    }

    std::vector<std::uint8_t*> planes(AudioPcmBuffer& buffer, std::uint32_t offset)
    {
        std::vector<std::uint8_t*> result;
        result.reserve(static_cast<std::size_t>(buffer.format().channelCount));
        for (int channel = 0; channel < buffer.format().channelCount; ++channel)
            result.push_back(reinterpret_cast<std::uint8_t*>(buffer.floatChannelData(channel).data() + offset));
        return result;
    }

    std::vector<const std::uint8_t*> planes(const AudioPcmBuffer& buffer)
    {
        std::vector<const std::uint8_t*> result;
        result.reserve(static_cast<std::size_t>(buffer.format().channelCount));
        for (int channel = 0; channel < buffer.format().channelCount; ++channel)
            result.push_back(reinterpret_cast<const std::uint8_t*>(buffer.floatChannelData(channel).data()));
        return result;
    }

} // namespace

std::unique_ptr<AudioConverter> SwrAudioConverter::make(const AudioFormat& from, const AudioFormat& to)
{
    if (!isPlanarFloat(from) || !isPlanarFloat(to))
        return nullptr;
    AVChannelLayout inputLayout;
    av_channel_layout_default(&inputLayout, from.channelCount);
    auto resampler = SwrResampler::make(inputLayout, AV_SAMPLE_FMT_FLTP, static_cast<int>(from.sampleRate),
        to.channelCount, static_cast<int>(to.sampleRate));
    av_channel_layout_uninit(&inputLayout);
    if (!resampler)
        return nullptr;
    return std::make_unique<SwrAudioConverter>(std::move(resampler).value());
}

Result<AudioConverterOutputStatus> SwrAudioConverter::convert(
    AudioPcmBuffer& output, const AudioConverterInputBlock& input)
{
    std::uint32_t written = 0;
    bool ended = false;
    for (;;) {
        auto status = AudioConverterInputStatus::noDataNow;
        const AudioPcmBuffer* buffer = input(status);
        if (status == AudioConverterInputStatus::endOfStream)
            ended = true;
        if (status != AudioConverterInputStatus::haveData || !buffer)
            break;
        auto in = planes(*buffer);
        auto out = planes(output, written);
        auto converted = m_resampler.convert(out.data(), static_cast<int>(output.frameCapacity() - written), in.data(),
            static_cast<int>(buffer->frameLength()));
        if (!converted)
            return converted.error();
        written += static_cast<std::uint32_t>(converted.value());
    }
    if (ended && written < output.frameCapacity()) {
        auto out = planes(output, written);
        auto flushed = m_resampler.convert(out.data(), static_cast<int>(output.frameCapacity() - written), nullptr, 0);
        if (!flushed)
            return flushed.error();
        written += static_cast<std::uint32_t>(flushed.value());
    }
    output.setFrameLength(written);
    if (ended)
        return AudioConverterOutputStatus::endOfStream;
    return written > 0 ? AudioConverterOutputStatus::haveData : AudioConverterOutputStatus::inputRanDry;
}

} // namespace norla
