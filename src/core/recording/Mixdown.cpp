#include "recording/Mixdown.h"

#include "platform/FileHandle.h"
#include "recording/CaptureError.h"
#include "recording/RawTrack.h"
#include "recording/RecordingFiles.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>

namespace norla {

namespace {

    std::mutex& mixdownLock()
    {
        static std::mutex lock;
        return lock;
    }

    // One raw track being read in step with the other. A missing track is silent; one that exists but cannot
    // be opened is an error, never silence: its sound would otherwise be lost with the raw tracks.
    class TrackInput {
    public:
        TrackInput(const std::filesystem::path& file, FileHandles& fileHandles)
        {
            auto handle = fileHandles.openForReading(file);
            if (handle) {
                m_handle = std::move(handle).value();
                m_sampleCount = RawTrack::sampleCount(file);
                return;
            }
            std::error_code error;
            if (std::filesystem::exists(file, error) || error)
                m_openingError = handle.error();
        }
        TrackInput(const TrackInput&) = delete;
        TrackInput& operator=(const TrackInput&) = delete;
        ~TrackInput()
        {
            if (m_handle)
                (void)m_handle->close();
        }

        std::uint64_t sampleCount() const { return m_sampleCount; }
        const std::optional<Error>& openingError() const { return m_openingError; }

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
        std::optional<Error> m_openingError;
    };

    Error fileError(const std::error_code& error) { return Error::platform(error.message(), error.value()); }

} // namespace

Result<std::filesystem::path> mixdown(
    const std::filesystem::path& dir, FileHandles& fileHandles, AudioFileWriter& writer)
{
    std::lock_guard lock(mixdownLock());

    auto meeting = dir / RecordingFiles::meetingName;
    std::error_code error;
    if (std::filesystem::exists(meeting, error))
        return meeting;

    TrackInput system(dir / RecordingFiles::systemTrackName, fileHandles);
    TrackInput mic(dir / RecordingFiles::micTrackName, fileHandles);
    for (const auto* track : { &system, &mic }) {
        if (track->openingError())
            return *track->openingError();
    }
    auto total = std::max(system.sampleCount(), mic.sampleCount());
    if (total < 1)
        return captureError(CaptureError::empty);

    auto partial = dir / RecordingFiles::partialMeetingName;
    std::filesystem::remove(partial, error);

    auto opened = writer.openForWriting(partial, mixdownFileSettings, mixdownProcessingFormat);
    if (!opened)
        return opened.error();
    auto file = std::move(opened).value();

    // Memory running short says nothing about the sound: the raw tracks stay for another try.
    auto buffer = AudioPcmBuffer::make(mixdownProcessingFormat, mixdownChunkFrames);
    if (!buffer)
        return fileError(std::make_error_code(std::errc::not_enough_memory));

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
        // Durable before published: the file's contents reach the disk before its name says it is finished,
        // and that name before the raw tracks go. A crash can then never leave a meeting.m4a without its sound
        // while the raw tracks are already gone.
        if (auto synchronized = RecordingFiles::synchronize(partial, fileHandles); !synchronized)
            return synchronized.error();
        std::filesystem::rename(partial, meeting, error);
        if (error)
            return fileError(error);
        if (!RecordingFiles::synchronize(dir, fileHandles))
            return meeting; // finished, but the raw tracks stay until the directory goes
        std::filesystem::remove(dir / RecordingFiles::systemTrackName, error);
        std::filesystem::remove(dir / RecordingFiles::micTrackName, error);
        return meeting;
    }
    std::filesystem::remove(partial, error);
    return captureError(CaptureError::empty);
}

} // namespace norla
