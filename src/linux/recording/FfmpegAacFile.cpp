#include "recording/FfmpegAacFile.h"

#include "recording/FfmpegError.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

namespace norla {

namespace {

    constexpr int maximumChannels = 8;

    bool fits(const AudioFileSettings& settings, const AudioFormat& format)
    {
        return settings.formatId == audioFormatMpeg4Aac && settings.numberOfChannels >= 1
            && settings.numberOfChannels <= maximumChannels && settings.sampleRate >= 1 && settings.sampleRate <= 192000
            && std::floor(settings.sampleRate) == settings.sampleRate && settings.encoderBitRate > 0
            && format.commonFormat == AudioCommonFormat::pcmFloat32 && !format.interleaved
            && format.channelCount == settings.numberOfChannels && format.sampleRate == settings.sampleRate;
    }

} // namespace

Result<std::unique_ptr<AudioFile>> FfmpegAacFile::open(const std::filesystem::path& file,
    const AudioFileSettings& settings, const AudioFormat& processingFormat, const Muxing& muxing)
{
    if (!fits(settings, processingFormat))
        return ffmpegError(AVERROR(EINVAL));
    auto aacFile = std::make_unique<FfmpegAacFile>(PassKey<FfmpegAacFile>());
    if (auto ready = aacFile->setUp(file, settings, muxing); !ready)
        return ready.error();
    return std::unique_ptr<AudioFile>(std::move(aacFile));
}

Result<void> FfmpegAacFile::setUp(
    const std::filesystem::path& file, const AudioFileSettings& settings, const Muxing& muxing)
{
    m_channelCount = settings.numberOfChannels;
    auto rate = static_cast<int>(settings.sampleRate);

    AVFormatContext* container = nullptr;
    if (int status = avformat_alloc_output_context2(&container, nullptr, "ipod", file.c_str()); status < 0)
        return ffmpegError(status);
    m_container.reset(container);
    if (muxing.flushPackets)
        m_container->flags |= AVFMT_FLAG_FLUSH_PACKETS;

    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (!codec)
        return ffmpegError(AVERROR_ENCODER_NOT_FOUND);
    m_stream = avformat_new_stream(m_container.get(), nullptr);
    if (!m_stream)
        return ffmpegError(AVERROR(ENOMEM));
    m_encoder.reset(avcodec_alloc_context3(codec));
    if (!m_encoder)
        return ffmpegError(AVERROR(ENOMEM));

    av_channel_layout_default(&m_encoder->ch_layout, m_channelCount);
    m_encoder->sample_rate = rate;
    m_encoder->sample_fmt = AV_SAMPLE_FMT_FLTP;
    m_encoder->bit_rate = settings.encoderBitRate;
    m_encoder->time_base = AVRational { 1, rate };
    if (m_container->oformat->flags & AVFMT_GLOBALHEADER)
        m_encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (int status = avcodec_open2(m_encoder.get(), codec, nullptr); status < 0)
        return ffmpegError(status);
    if (int status = avcodec_parameters_from_context(m_stream->codecpar, m_encoder.get()); status < 0)
        return ffmpegError(status);
    m_stream->time_base = m_encoder->time_base;

    if (int status = avio_open(&m_container->pb, file.c_str(), AVIO_FLAG_WRITE); status < 0)
        return ffmpegError(status);
    // The muxer keeps an index entry per packet until the file is finished; written in fragments, the
    // index goes out with each fragment and memory stays flat however long the recording. (The price: the
    // encoder's padding of the last frame, at most 64 ms of silence, stays at the end.)
    AVDictionaryHolder options;
    for (auto& [key, value] : muxing.options) {
        if (int status = av_dict_set(options.address(), key.c_str(), value.c_str(), 0); status < 0)
            return ffmpegError(status);
    }
    if (int status = avformat_write_header(m_container.get(), options.address()); status < 0)
        return ffmpegError(status);

    m_frame.reset(av_frame_alloc());
    m_packet.reset(av_packet_alloc());
    if (!m_frame || !m_packet)
        return ffmpegError(AVERROR(ENOMEM));
    m_frame->nb_samples = m_encoder->frame_size;
    m_frame->format = m_encoder->sample_fmt;
    m_frame->sample_rate = rate;
    if (int status = av_channel_layout_copy(&m_frame->ch_layout, &m_encoder->ch_layout); status < 0)
        return ffmpegError(status);
    if (int status = av_frame_get_buffer(m_frame.get(), 0); status < 0)
        return ffmpegError(status);
    return {};
}

Result<void> FfmpegAacFile::write(const AudioPcmBuffer& buffer)
{
    if (m_closed)
        return ffmpegError(AVERROR(EINVAL));
    if (buffer.format().channelCount != m_channelCount)
        return ffmpegError(AVERROR(EINVAL));
    std::uint32_t consumed = 0;
    while (consumed < buffer.frameLength()) {
        if (m_framesFilled == 0) {
            // The encoder may still hold the previous frame's buffers.
            if (int status = av_frame_make_writable(m_frame.get()); status < 0)
                return ffmpegError(status);
        }
        auto count = std::min<std::uint32_t>(
            buffer.frameLength() - consumed, static_cast<std::uint32_t>(m_encoder->frame_size - m_framesFilled));
        for (int channel = 0; channel < m_channelCount; ++channel) {
            auto source = buffer.floatChannelData(channel).subspan(consumed, count);
            auto* target = reinterpret_cast<float*>(m_frame->data[channel]) + m_framesFilled;
            std::memcpy(target, source.data(), source.size_bytes());
        }
        consumed += count;
        m_framesFilled += static_cast<int>(count);
        if (m_framesFilled == m_encoder->frame_size) {
            if (auto sent = sendFilledFrame(); !sent)
                return sent;
        }
    }
    return {};
}

Result<void> FfmpegAacFile::sendFilledFrame()
{
    m_frame->nb_samples = m_framesFilled;
    m_frame->pts = m_framesSent;
    m_framesSent += m_framesFilled;
    m_framesFilled = 0;
    return encode(m_frame.get());
}

Result<void> FfmpegAacFile::encode(AVFrame* frame)
{
    if (int status = avcodec_send_frame(m_encoder.get(), frame); status < 0)
        return ffmpegError(status);
    while (true) {
        int status = avcodec_receive_packet(m_encoder.get(), m_packet.get());
        if (status == AVERROR(EAGAIN) || status == AVERROR_EOF)
            return {};
        if (status < 0)
            return ffmpegError(status);
        // The muxer may have chosen its own time base when the header was written.
        av_packet_rescale_ts(m_packet.get(), m_encoder->time_base, m_stream->time_base);
        m_packet->stream_index = m_stream->index;
        status = av_interleaved_write_frame(m_container.get(), m_packet.get());
        av_packet_unref(m_packet.get());
        if (status < 0)
            return ffmpegError(status);
    }
}

Result<void> FfmpegAacFile::close()
{
    if (m_closed)
        return ffmpegError(AVERROR(EINVAL));
    m_closed = true;
    // Only the last frame may be short.
    if (m_framesFilled > 0) {
        if (auto sent = sendFilledFrame(); !sent)
            return sent;
    }
    if (auto drained = encode(nullptr); !drained)
        return drained;
    if (int status = av_write_trailer(m_container.get()); status < 0)
        return ffmpegError(status);
    if (int status = avio_closep(&m_container->pb); status < 0)
        return ffmpegError(status);
    return {};
}

} // namespace norla
