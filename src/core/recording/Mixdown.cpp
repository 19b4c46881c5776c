#include "recording/Mixdown.h"

#include "platform/FileHandle.h"
#include "platform/Seams.h"
#include "recording/CaptureError.h"
#include "recording/RawTrack.h"
#include "recording/RecordingFiles.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>
#include <system_error>

namespace norla {

namespace {

    std::mutex& mixdownLock()
    {
        static std::mutex lock;
        return lock;
    }

    // One raw track being read in step with the other. A track that cannot be opened has no handle and
    // stays silent, but its size still counts towards the output's length.
    class TrackInput {
    public:
        explicit TrackInput(const std::filesystem::path& file)
        {
            if (auto handle = seam<FileHandles>()->openForReading(file))
                m_handle = std::move(handle).value();
            m_sampleCount = RawTrack::sampleCount(file);
        }
        TrackInput(const TrackInput&) = delete;
        TrackInput& operator=(const TrackInput&) = delete;
        ~TrackInput()
        {
            if (m_handle)
                (void)m_handle->close();
        }

        std::uint64_t sampleCount() const { return m_sampleCount; }

        // Fills `channel[0, n)` with the chunk at `offset`: clamped samples while the track lasts, then silence.
        Result<void> readChunk(std::uint64_t offset, std::span<float> channel, float& peak)
        {
            auto n = channel.size();
            std::size_t stored = 0;
            if (m_sampleCount > offset && m_handle) {
                auto k = static_cast<std::size_t>(std::min<std::uint64_t>(m_sampleCount - offset, n));
                auto read = m_handle->read(std::as_writable_bytes(channel.first(k)));
                if (!read)
                    return read.error();
                stored = std::min(read.value() / sizeof(float), k);
                for (std::size_t i = 0; i < stored; ++i) {
                    auto sample = clamp(channel[i]);
                    channel[i] = sample;
                    peak = std::max(peak, std::fabs(sample));
                }
            }
            std::fill(channel.begin() + static_cast<std::ptrdiff_t>(stored), channel.end(), 0.0f);
            return {};
        }

    private:
        // Not-a-number carries no sound: it becomes silence rather than reaching the encoder.
        static float clamp(float sample) { return std::isnan(sample) ? 0.0f : std::clamp(sample, -1.0f, 1.0f); }

        std::unique_ptr<FileHandle> m_handle;
        std::uint64_t m_sampleCount = 0;
    };

    Error fileError(const std::error_code& error) { return Error::platform(error.message(), error.value()); }

} // namespace

Result<std::filesystem::path> mixdown(const std::filesystem::path& dir)
{
    std::lock_guard lock(mixdownLock());

    auto meeting = dir / RecordingFiles::meetingName;
    std::error_code error;
    if (std::filesystem::exists(meeting, error))
        return meeting;

    TrackInput system(dir / RecordingFiles::systemTrackName);
    TrackInput mic(dir / RecordingFiles::micTrackName);
    auto total = std::max(system.sampleCount(), mic.sampleCount());
    if (total < 1)
        return captureError(CaptureError::empty);

    auto partial = dir / RecordingFiles::partialMeetingName;
    std::filesystem::remove(partial, error);

    auto opened = seam<AudioFileWriter>()->openForWriting(partial, mixdownFileSettings, mixdownProcessingFormat);
    if (!opened)
        return opened.error();
    auto file = std::move(opened).value();

    auto buffer = AudioPcmBuffer::make(mixdownProcessingFormat, mixdownChunkFrames);
    if (!buffer)
        return captureError(CaptureError::empty);

    float peak = 0.0f;
    for (std::uint64_t offset = 0; offset < total;) {
        auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(total - offset, mixdownChunkFrames));
        if (auto read = system.readChunk(offset, buffer->floatChannelData(0).first(n), peak); !read)
            return read.error();
        if (auto read = mic.readChunk(offset, buffer->floatChannelData(1).first(n), peak); !read)
            return read.error();
        buffer->setFrameLength(n);
        if (auto written = file->write(*buffer); !written)
            return written.error();
        offset += n;
    }
    // A file whose ending could not be written is not a recording: keep the raw tracks for another try.
    if (auto closed = file->close(); !closed)
        return closed.error();

    if (peak >= mixdownSilencePeak) {
        std::filesystem::rename(partial, meeting, error);
        if (error)
            return fileError(error);
        std::filesystem::remove(dir / RecordingFiles::systemTrackName, error);
        std::filesystem::remove(dir / RecordingFiles::micTrackName, error);
        return meeting;
    }
    std::filesystem::remove(partial, error);
    return captureError(CaptureError::empty);
}

} // namespace norla
