#include "recording/FfmpegStreamDecoder.h"

#include "recording/FfmpegAsset.h"
#include "recording/FfmpegError.h"

namespace norla {

Result<FfmpegStreamDecoder> FfmpegStreamDecoder::open(const std::filesystem::path& file, int streamIndex)
{
    auto input = FfmpegAsset::openInput(file);
    if (!input)
        return input.error();
    if (streamIndex < 0 || static_cast<unsigned>(streamIndex) >= input.value()->nb_streams)
        return ffmpegError(AVERROR_STREAM_NOT_FOUND);
    auto* parameters = input.value()->streams[streamIndex]->codecpar;
    const AVCodec* decoder = avcodec_find_decoder(parameters->codec_id);
    if (!decoder)
        return ffmpegError(AVERROR_DECODER_NOT_FOUND);
    AVCodecContextPtr codec(avcodec_alloc_context3(decoder));
    if (!codec)
        return ffmpegError(AVERROR(ENOMEM));
    if (int status = avcodec_parameters_to_context(codec.get(), parameters); status < 0)
        return ffmpegError(status);
    if (int status = avcodec_open2(codec.get(), decoder, nullptr); status < 0)
        return ffmpegError(status);
    FfmpegStreamDecoder opened(std::move(input).value(), std::move(codec), streamIndex);
    if (!opened.m_packet || !opened.m_frame)
        return ffmpegError(AVERROR(ENOMEM));
    return opened;
}

FfmpegStreamDecoder::FfmpegStreamDecoder(AVInputFormatContextPtr input, AVCodecContextPtr codec, int streamIndex)
    : m_input(std::move(input))
    , m_codec(std::move(codec))
    , m_packet(av_packet_alloc())
    , m_frame(av_frame_alloc())
    , m_streamIndex(streamIndex)
{
}

Result<bool> FfmpegStreamDecoder::decodeNext(const FrameHandler& onFrame)
{
    if (m_ended)
        return false;
    for (;;) {
        int status = av_read_frame(m_input.get(), m_packet.get());
        if (status == AVERROR_EOF) {
            m_ended = true;
            if (auto flushed = send(nullptr, onFrame); !flushed)
                return flushed.error();
            return false;
        }
        if (status < 0)
            return ffmpegError(status);
        if (m_packet->stream_index != m_streamIndex) {
            av_packet_unref(m_packet.get());
            continue;
        }
        auto sent = send(m_packet.get(), onFrame);
        av_packet_unref(m_packet.get());
        if (!sent)
            return sent.error();
        return true;
    }
}

Result<void> FfmpegStreamDecoder::send(const AVPacket* packet, const FrameHandler& onFrame)
{
    for (;;) {
        int status = avcodec_send_packet(m_codec.get(), packet);
        // The end of the stream sent twice is no failure: there is nothing more to flush.
        if (status < 0 && status != AVERROR(EAGAIN) && !(packet == nullptr && status == AVERROR_EOF))
            return ffmpegError(status);
        if (auto drained = drain(onFrame); !drained)
            return drained;
        if (status != AVERROR(EAGAIN))
            return {};
    }
}

Result<void> FfmpegStreamDecoder::drain(const FrameHandler& onFrame)
{
    for (;;) {
        int status = avcodec_receive_frame(m_codec.get(), m_frame.get());
        if (status == AVERROR(EAGAIN) || status == AVERROR_EOF)
            return {};
        if (status < 0)
            return ffmpegError(status);
        auto handled = onFrame(*m_frame);
        av_frame_unref(m_frame.get());
        if (!handled)
            return handled;
    }
}

} // namespace norla
