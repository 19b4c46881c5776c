#include "recording/FfmpegExportSession.h"

#include "platform/PosixFileHandles.h"
#include "recording/FfmpegAacFile.h"
#include "recording/FfmpegError.h"
#include "recording/FfmpegStreamDecoder.h"
#include "recording/SwrResampler.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <system_error>

namespace norla {

namespace {

    std::int64_t framesAt(const MediaTime& time, double rate) { return std::llround(time.seconds() * rate); }

    // Writes frames of the output format, cutting what exceeds the piece and skipping its start.
    class PieceWriter {
    public:
        PieceWriter(AudioFile& output, const AudioFormat& format, std::int64_t skip, std::int64_t wanted)
            : m_output(output)
            , m_format(format)
            , m_skip(skip)
            , m_remaining(wanted)
        {
        }
        Result<void> write(const AudioPcmBuffer& buffer)
        {
            auto length = static_cast<std::int64_t>(buffer.frameLength());
            auto skipped = std::min(m_skip, length);
            m_skip -= skipped;
            auto take = std::min(length - skipped, m_remaining);
            if (take <= 0)
                return {};
            auto part = AudioPcmBuffer::make(m_format, static_cast<std::uint32_t>(take));
            if (!part)
                return ffmpegError(AVERROR(ENOMEM));
            for (int channel = 0; channel < m_format.channelCount; ++channel) {
                auto from = buffer.floatChannelData(channel).subspan(static_cast<std::size_t>(skipped));
                std::copy_n(from.begin(), take, part->floatChannelData(channel).begin());
            }
            part->setFrameLength(static_cast<std::uint32_t>(take));
            m_remaining -= take;
            m_written += take;
            return m_output.write(*part);
        }
        // Pads with silence up to the piece's length: the timeline counts its full duration.
        Result<void> finish()
        {
            while (m_remaining > 0) {
                auto chunk = static_cast<std::uint32_t>(std::min<std::int64_t>(m_remaining, 16000));
                auto silence = AudioPcmBuffer::make(m_format, chunk);
                if (!silence)
                    return ffmpegError(AVERROR(ENOMEM));
                silence->setFrameLength(chunk);
                if (auto written = m_output.write(*silence); !written)
                    return written;
                m_remaining -= chunk;
                m_written += chunk;
            }
            return {};
        }
        std::int64_t written() const { return m_written; }
        bool isFull() const { return m_remaining <= 0; }

    private:
        AudioFile& m_output;
        AudioFormat m_format;
        std::int64_t m_skip;
        std::int64_t m_remaining;
        std::int64_t m_written = 0;
    };

    // Brings decoded frames to the output format and passes them on to a piece's writer. The resampler is
    // made for the first frame, whose layout and rate the rest of the piece shares.
    class ResamplingWriter {
    public:
        ResamplingWriter(PieceWriter& writer, const AudioFormat& format)
            : m_writer(writer)
            , m_format(format)
        {
        }
        Result<void> write(const AVFrame& frame)
        {
            if (!m_resampler) {
                auto made = SwrResampler::make(frame.ch_layout, static_cast<AVSampleFormat>(frame.format),
                    frame.sample_rate, m_format.channelCount, static_cast<int>(m_format.sampleRate));
                if (!made)
                    return made.error();
                m_resampler.emplace(std::move(made).value());
            }
            return convert(frame.extended_data, frame.nb_samples);
        }
        // Writes what the resampler's filter still holds.
        Result<void> flush() { return m_resampler ? convert(nullptr, 0) : Result<void>(); }

    private:
        Result<void> convert(const std::uint8_t* const* planes, int frames)
        {
            int capacity = m_resampler->outputCapacity(frames);
            if (capacity <= 0)
                return {};
            auto buffer = AudioPcmBuffer::make(m_format, static_cast<std::uint32_t>(capacity));
            if (!buffer)
                return ffmpegError(AVERROR(ENOMEM));
            std::vector<std::uint8_t*> out;
            out.reserve(static_cast<std::size_t>(m_format.channelCount));
            for (int channel = 0; channel < m_format.channelCount; ++channel)
                out.push_back(reinterpret_cast<std::uint8_t*>(buffer->floatChannelData(channel).data()));
            auto converted = m_resampler->convert(out.data(), capacity, planes, frames);
            if (!converted)
                return converted.error();
            buffer->setFrameLength(static_cast<std::uint32_t>(converted.value()));
            return m_writer.write(*buffer);
        }

        PieceWriter& m_writer;
        AudioFormat m_format;
        std::optional<SwrResampler> m_resampler;
    };

    // Passes frames on to the file and counts them against the timeline's length for the progress.
    class CountingFile final : public AudioFile {
    public:
        CountingFile(AudioFile& file, std::int64_t total, std::atomic<float>& progress)
            : m_file(file)
            , m_total(std::max<std::int64_t>(total, 1))
            , m_progress(progress)
        {
        }
        Result<void> write(const AudioPcmBuffer& buffer) override
        {
            m_written += buffer.frameLength();
            m_progress
                = static_cast<float>(std::min(1.0, static_cast<double>(m_written) / static_cast<double>(m_total)));
            return m_file.write(buffer);
        }
        Result<void> close() override { return m_file.close(); }

    private:
        AudioFile& m_file;
        std::int64_t m_total;
        std::int64_t m_written = 0;
        std::atomic<float>& m_progress;
    };

} // namespace

void FfmpegExportSession::exportAsynchronously(
    const std::filesystem::path& output, ExportFileType, CompletionHandler<void(Result<void>)> completion)
{
    auto temporary = output.parent_path() / temporaryName;
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    auto exported = exportTo(temporary);
    // The output is on the disk before its name says it is finished.
    if (exported)
        exported = PosixFileHandles::synchronize(temporary);
    if (exported) {
        std::error_code error;
        std::filesystem::rename(temporary, output, error);
        if (error)
            exported = Error::platform(error.message(), error.value());
    }
    if (!exported)
        std::filesystem::remove(temporary, ignored);
    else
        m_progress = 1;
    completion(std::move(exported));
}

Result<void> FfmpegExportSession::exportTo(const std::filesystem::path& file)
{
    auto track = m_composition->firstTrack();
    auto pieces = track ? track->pieces() : std::vector<CompositionPiece>();
    if (pieces.empty())
        return Error::platform("The composition has nothing to export.");
    std::stable_sort(pieces.begin(), pieces.end(), [](const auto& a, const auto& b) { return a.at < b.at; });

    auto first = FfmpegStreamDecoder::open(pieces.front().file, pieces.front().streamIndex);
    if (!first)
        return first.error();
    int channels = std::clamp(first.value().channelCount(), 1, 2);
    int rate = first.value().sampleRate() > 0 ? first.value().sampleRate() : 16000;
    AudioFormat format { AudioCommonFormat::pcmFloat32, static_cast<double>(rate), channels, false };
    AudioFileSettings settings { audioFormatMpeg4Aac, static_cast<double>(rate), channels, 32000 * channels };

    auto opened = FfmpegAacFile::open(file, settings, format);
    if (!opened)
        return opened.error();
    std::int64_t length = 0;
    for (const auto& piece : pieces)
        length = std::max(length, framesAt(piece.at + piece.range.duration, rate));
    CountingFile output(*opened.value(), length, m_progress);
    std::int64_t written = 0;
    for (auto& piece : pieces) {
        if (auto gap = framesAt(piece.at, rate) - written; gap > 0) {
            PieceWriter silence(output, format, 0, gap);
            if (auto padded = silence.finish(); !padded)
                return padded;
            written += gap;
        }
        auto appended = appendPiece(piece, output, format);
        if (!appended)
            return appended.error();
        written += appended.value();
    }
    return output.close();
}

Result<std::int64_t> FfmpegExportSession::appendPiece(
    const CompositionPiece& piece, AudioFile& output, const AudioFormat& format)
{
    auto decoder = FfmpegStreamDecoder::open(piece.file, piece.streamIndex);
    if (!decoder)
        return decoder.error();
    PieceWriter writer(output, format, framesAt(piece.range.start, format.sampleRate),
        framesAt(piece.range.duration, format.sampleRate));
    ResamplingWriter resampling(writer, format);
    auto onFrame = [&](const AVFrame& frame) { return resampling.write(frame); };
    // Reading stops once the piece is full: what follows in the file is not on the timeline.
    while (!writer.isFull()) {
        if (m_cancelled)
            return ffmpegError(AVERROR_EXIT);
        auto decoded = decoder.value().decodeNext(onFrame);
        if (!decoded)
            return decoded.error();
        if (!decoded.value()) {
            if (auto flushed = resampling.flush(); !flushed)
                return flushed.error();
            break;
        }
    }
    if (auto finished = writer.finish(); !finished)
        return finished.error();
    return writer.written();
}

} // namespace norla
