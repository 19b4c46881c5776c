#pragma once

#include "platform/FileHandle.h"
#include "platform/Result.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

namespace norla {

// Writes one raw track: headerless native-endian 32-bit float samples, one channel, 16000 per second, where
// sample i sits at byte 4 × i. Blocks are written where their timeline position puts them, so gaps read
// back as silence. Used from one queue at a time.
class RawTrack {
public:
    static constexpr double sampleRate = 16000.0;
    static constexpr std::uint64_t bytesPerSample = 4;

    // Replaces `file` by an empty file and opens it for writing; fails when it cannot be opened.
    static Result<RawTrack> make(const std::filesystem::path& file, FileHandles& fileHandles);
    // The number of whole samples in a track file: floor(size / 4), or 0 when its size cannot be read.
    static std::uint64_t sampleCount(const std::filesystem::path& file);

    // Writes `samples` at timeline position `position` seconds (byte 4 × floor(position × 16000)),
    // overwriting what lies there. A failure is logged and the block dropped.
    void write(std::span<const float> samples, double position);
    // Synchronises the file to disk and closes it, ignoring failures.
    void close();

private:
    explicit RawTrack(std::unique_ptr<FileHandle> handle);

    std::unique_ptr<FileHandle> m_handle;
};

} // namespace norla
