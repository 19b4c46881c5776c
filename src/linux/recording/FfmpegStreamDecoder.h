#pragma once

#include "platform/Result.h"
#include "recording/FfmpegPtr.h"

#include <filesystem>
#include <functional>

namespace norla {

// Decodes one stream of a media file, packet by packet, handing on every frame the decoder completes.
class FfmpegStreamDecoder {
public:
    // Handles one decoded frame; a failure stops the decoding and is its result.
    using FrameHandler = std::function<Result<void>(const AVFrame& frame)>;

    static Result<FfmpegStreamDecoder> open(const std::filesystem::path& file, int streamIndex);

    // The stream's sample rate (0 when the file does not tell) and channel count.
    int sampleRate() const { return m_codec->sample_rate; }
    int channelCount() const { return m_codec->ch_layout.nb_channels; }

    // Reads up to the next packet of the stream and decodes it; at the end of the file, hands on what the
    // decoder still holds. Answers false once the stream has ended.
    Result<bool> decodeNext(const FrameHandler& onFrame);

private:
    FfmpegStreamDecoder(AVInputFormatContextPtr input, AVCodecContextPtr codec, int streamIndex);
    // Sends a packet (null: the end of the stream). A decoder whose output is full refuses the packet
    // until its frames are taken: the packet then goes again after them, so none is lost.
    Result<void> send(const AVPacket* packet, const FrameHandler& onFrame);
    Result<void> drain(const FrameHandler& onFrame);

    AVInputFormatContextPtr m_input;
    AVCodecContextPtr m_codec;
    AVPacketPtr m_packet;
    AVFramePtr m_frame;
    int m_streamIndex = 0;
    bool m_ended = false;
};

} // namespace norla
