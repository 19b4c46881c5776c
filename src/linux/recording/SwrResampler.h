#pragma once

#include "platform/AudioFormat.h"
#include "platform/Result.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

#include <cstdint>
#include <memory>

namespace norla {

struct SwrContextDeleter {
    void operator()(SwrContext* context) const { swr_free(&context); }
};
using SwrContextPtr = std::unique_ptr<SwrContext, SwrContextDeleter>;

// One libswresample context from any sample format, layout and rate to planar float at a rate and channel
// count. Its filter state carries over between calls, so consecutive buffers join without clicks.
class SwrResampler {
public:
    static Result<SwrResampler> make(const AVChannelLayout& inputLayout, AVSampleFormat inputFormat, int inputRate,
        int outputChannels, int outputRate);

    // Converts `frames` input frames (planes as FFmpeg lays them out; null planes flush) into at most
    // `capacity` frames per output plane; returns the frames written.
    Result<int> convert(std::uint8_t* const* output, int capacity, const std::uint8_t* const* input, int frames);
    // How many frames the next convert of `frames` input frames may write.
    int outputCapacity(int frames) const;

private:
    explicit SwrResampler(SwrContextPtr context)
        : m_context(std::move(context))
    {
    }
    SwrContextPtr m_context;
};

} // namespace norla
