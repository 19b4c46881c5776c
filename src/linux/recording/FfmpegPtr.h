#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
}

#include <memory>

namespace norla {

// Owners of FFmpeg objects, each released by its own free function.
struct AVCodecContextDeleter {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct AVFrameDeleter {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct AVPacketDeleter {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
// A muxing context together with the file it writes to.
struct AVOutputFormatContextDeleter {
    void operator()(AVFormatContext* context) const
    {
        if (context->pb && !(context->oformat->flags & AVFMT_NOFILE))
            avio_closep(&context->pb);
        avformat_free_context(context);
    }
};
// A demuxing context opened with avformat_open_input.
struct AVInputFormatContextDeleter {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};

// An options dictionary; FFmpeg calls that take `AVDictionary**` may replace it, so it is lent by address.
class AVDictionaryHolder {
public:
    AVDictionaryHolder() = default;
    AVDictionaryHolder(const AVDictionaryHolder&) = delete;
    AVDictionaryHolder& operator=(const AVDictionaryHolder&) = delete;
    ~AVDictionaryHolder() { av_dict_free(&m_dictionary); }
    AVDictionary** address() { return &m_dictionary; }

private:
    AVDictionary* m_dictionary = nullptr;
};

using AVCodecContextPtr = std::unique_ptr<AVCodecContext, AVCodecContextDeleter>;
using AVFramePtr = std::unique_ptr<AVFrame, AVFrameDeleter>;
using AVPacketPtr = std::unique_ptr<AVPacket, AVPacketDeleter>;
using AVOutputFormatContextPtr = std::unique_ptr<AVFormatContext, AVOutputFormatContextDeleter>;
using AVInputFormatContextPtr = std::unique_ptr<AVFormatContext, AVInputFormatContextDeleter>;

} // namespace norla
