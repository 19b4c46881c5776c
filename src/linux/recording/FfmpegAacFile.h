#pragma once

#include "platform/AudioFileWriter.h"
#include "platform/PassKey.h"
#include "recording/FfmpegPtr.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace norla {

// An AAC-LC file in an MPEG-4 (.m4a) container, written with FFmpeg's native AAC encoder and its "ipod"
// muxer in fragments. Buffers of any length are cut into the encoder's frames; memory stays at one frame,
// one packet and one fragment's index whatever the length.
class FfmpegAacFile final : public AudioFile {
public:
    // How the muxer lays the file out: its options (movflags, fragment durations) and whether each packet
    // goes to the disk at once.
    struct Muxing {
        std::vector<std::pair<std::string, std::string>> options;
        bool flushPackets = false;
    };
    // Ten-second fragments: the index goes out with each fragment, so memory stays flat.
    static Muxing tenSecondFragments() { return { { { "frag_duration", "10000000" } }, false }; }

    static Result<std::unique_ptr<AudioFile>> open(const std::filesystem::path& file, const AudioFileSettings& settings,
        const AudioFormat& processingFormat, const Muxing& muxing = tenSecondFragments());

    Result<void> write(const AudioPcmBuffer& buffer) override;
    Result<void> close() override;

    // Only open() makes files.
    explicit FfmpegAacFile(PassKey<FfmpegAacFile>) { }

private:
    Result<void> setUp(const std::filesystem::path& file, const AudioFileSettings& settings, const Muxing& muxing);
    Result<void> sendFilledFrame();
    // Sends a frame (or, with null, the end of input) and writes every packet the encoder has ready.
    Result<void> encode(AVFrame* frame);

    AVOutputFormatContextPtr m_container;
    AVCodecContextPtr m_encoder;
    AVStream* m_stream = nullptr; // owned by m_container
    AVFramePtr m_frame;
    AVPacketPtr m_packet;
    int m_channelCount = 0;
    int m_framesFilled = 0; // of the current encoder frame
    std::int64_t m_framesSent = 0;
    bool m_closed = false;
};

} // namespace norla
