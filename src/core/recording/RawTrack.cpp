#include "recording/RawTrack.h"

#include "platform/SystemLog.h"

#include <cmath>
#include <fstream>
#include <string>
#include <system_error>
#include <utility>

namespace norla {

namespace {

    void logWriteFailure(const Error& error) { logLine("RawTrack write failed: " + error.description()); }

    // Byte offsets beyond this cannot be sought to; the capture never gets near it (five hours are 1.2 GB).
    constexpr double largestFrameIndex = 1e15;

} // namespace

RawTrack::RawTrack(std::unique_ptr<FileHandle> handle)
    : m_handle(std::move(handle))
{
}

Result<RawTrack> RawTrack::make(const std::filesystem::path& file, FileHandles& fileHandles)
{
    // Creating the file empty replaces an earlier one; whether that worked shows when it is opened.
    {
        std::ofstream empty(file, std::ios::binary | std::ios::trunc);
    }
    auto handle = fileHandles.openForWriting(file);
    if (!handle)
        return handle.error();
    return RawTrack(std::move(handle).value());
}

std::uint64_t RawTrack::sampleCount(const std::filesystem::path& file)
{
    std::error_code error;
    auto size = std::filesystem::file_size(file, error);
    if (error)
        return 0;
    return size / bytesPerSample;
}

void RawTrack::write(std::span<const float> samples, double position)
{
    auto frameIndex = std::floor(position * sampleRate);
    if (!std::isfinite(frameIndex) || frameIndex < 0 || frameIndex > largestFrameIndex) {
        auto invalid = std::make_error_code(std::errc::invalid_argument);
        logWriteFailure(Error::platform(invalid.message(), invalid.value()));
        return;
    }
    if (!m_handle) {
        auto closed = std::make_error_code(std::errc::bad_file_descriptor);
        logWriteFailure(Error::platform(closed.message(), closed.value()));
        return;
    }
    auto offset = static_cast<std::uint64_t>(frameIndex) * bytesPerSample;
    if (auto sought = m_handle->seek(offset); !sought) {
        logWriteFailure(sought.error());
        return;
    }
    if (auto written = m_handle->write(std::as_bytes(samples)); !written)
        logWriteFailure(written.error());
}

void RawTrack::close()
{
    if (!m_handle)
        return;
    (void)m_handle->synchronize();
    (void)m_handle->close();
}

} // namespace norla
