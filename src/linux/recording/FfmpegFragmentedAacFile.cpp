#include "recording/FfmpegFragmentedAacFile.h"

#include "platform/PosixFileHandles.h"
#include "recording/FfmpegAacFile.h"
#include "recording/FfmpegError.h"

#include <system_error>

namespace norla {

namespace {

    // One fragment per second, flushed at once: what a killed process can lose at most. The index waits
    // for the first fragment, late enough to carry the encoder's priming in its edit list.
    FfmpegAacFile::Muxing crashSafeFragments()
    {
        return { { { "movflags", "+delay_moov+frag_keyframe+default_base_moof" }, { "frag_duration", "1000000" },
                     { "min_frag_duration", "1000000" } },
            true };
    }

} // namespace

Result<std::unique_ptr<AudioFile>> FfmpegFragmentedAacFile::open(
    const std::filesystem::path& file, const AudioFileSettings& settings, const AudioFormat& processingFormat)
{
    auto opened = FfmpegAacFile::open(file, settings, processingFormat, crashSafeFragments());
    if (!opened)
        return opened.error();
    auto fragmented = std::make_unique<FfmpegFragmentedAacFile>(PassKey<FfmpegFragmentedAacFile>());
    fragmented->m_path = file;
    fragmented->m_file = std::move(opened).value();
    return std::unique_ptr<AudioFile>(std::move(fragmented));
}

Result<void> FfmpegFragmentedAacFile::write(const AudioPcmBuffer& buffer) { return m_file->write(buffer); }

Result<void> FfmpegFragmentedAacFile::close()
{
    if (auto closed = m_file->close(); !closed)
        return closed;
    return rewriteUnfragmented(m_path);
}

Result<void> FfmpegFragmentedAacFile::rewriteUnfragmented(const std::filesystem::path& file)
{
    // Readers take a fragmented file's length with the encoder's priming in it; a regular file's index
    // states the exact length. The copy goes next to the file and replaces it only once it is whole, so a
    // process killed meanwhile leaves the fragmented file as it was.
    auto temporary = file.parent_path() / ("." + file.stem().string() + ".rewrite.m4a");
    AVFormatContext* opened = nullptr;
    if (int status = avformat_open_input(&opened, file.c_str(), nullptr, nullptr); status < 0)
        return ffmpegError(status);
    AVInputFormatContextPtr input(opened);
    if (int status = avformat_find_stream_info(input.get(), nullptr); status < 0)
        return ffmpegError(status);
    if (input->nb_streams != 1)
        return ffmpegError(AVERROR_INVALIDDATA);

    AVFormatContext* created = nullptr;
    if (int status = avformat_alloc_output_context2(&created, nullptr, "ipod", temporary.c_str()); status < 0)
        return ffmpegError(status);
    AVOutputFormatContextPtr output(created);
    AVStream* stream = avformat_new_stream(output.get(), nullptr);
    if (!stream)
        return ffmpegError(AVERROR(ENOMEM));
    if (int status = avcodec_parameters_copy(stream->codecpar, input->streams[0]->codecpar); status < 0)
        return ffmpegError(status);
    stream->codecpar->codec_tag = 0;
    stream->time_base = input->streams[0]->time_base;
    if (int status = avio_open(&output->pb, temporary.c_str(), AVIO_FLAG_WRITE); status < 0)
        return ffmpegError(status);
    if (int status = avformat_write_header(output.get(), nullptr); status < 0)
        return ffmpegError(status);
    AVPacketPtr packet(av_packet_alloc());
    if (!packet)
        return ffmpegError(AVERROR(ENOMEM));
    while (true) {
        int status = av_read_frame(input.get(), packet.get());
        if (status == AVERROR_EOF)
            break;
        if (status < 0)
            return ffmpegError(status);
        av_packet_rescale_ts(packet.get(), input->streams[0]->time_base, stream->time_base);
        packet->stream_index = 0;
        packet->pos = -1;
        status = av_interleaved_write_frame(output.get(), packet.get());
        av_packet_unref(packet.get());
        if (status < 0)
            return ffmpegError(status);
    }
    if (int status = av_write_trailer(output.get()); status < 0)
        return ffmpegError(status);
    if (int status = avio_closep(&output->pb); status < 0)
        return ffmpegError(status);
    // The copy replaces recorded sound: it is on the disk before it does, and the new name before anything
    // else happens to the segment.
    if (auto synchronized = PosixFileHandles::synchronize(temporary); !synchronized) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return synchronized;
    }
    std::error_code error;
    std::filesystem::rename(temporary, file, error);
    if (!error)
        (void)PosixFileHandles::synchronize(file.parent_path());
    if (error) {
        std::filesystem::remove(temporary, error);
        return Error::platform(std::system_error(error).what());
    }
    return {};
}

} // namespace norla
