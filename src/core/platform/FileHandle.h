#pragma once

#include "platform/Result.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

namespace norla {

// An open file, in the shape of Foundation's FileHandle. Releasing a handle releases its descriptor
// without synchronising it; failures carry the platform's own text.
class FileHandle {
public:
    virtual ~FileHandle() = default;
    // Moves the position to `offset` bytes from the start; a later write there fills any gap with zeros.
    virtual Result<void> seek(std::uint64_t offset) = 0;
    // Writes all of `bytes` at the position and moves past them.
    virtual Result<void> write(std::span<const std::byte> bytes) = 0;
    // Reads up to `into.size()` bytes from the position (fewer only at the end of the file); returns the count.
    virtual Result<std::size_t> read(std::span<std::byte> into) = 0;
    // Flushes what was written to the storage device.
    virtual Result<void> synchronize() = 0;
    // Closes the handle; every later operation fails.
    virtual Result<void> close() = 0;
};

// Opens file handles (the seam over the platform's file descriptors).
class FileHandles {
public:
    virtual ~FileHandles() = default;
    // An existing file, open for writing at its start; the file is neither created nor truncated.
    virtual Result<std::unique_ptr<FileHandle>> openForWriting(const std::filesystem::path& file) = 0;
    virtual Result<std::unique_ptr<FileHandle>> openForReading(const std::filesystem::path& file) = 0;
};

} // namespace norla
