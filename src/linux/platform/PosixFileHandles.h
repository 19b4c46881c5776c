#pragma once

#include "platform/FileHandle.h"

namespace norla {

// File handles over POSIX file descriptors; errors carry the system's text for errno.
class PosixFileHandles final : public FileHandles {
public:
    Result<std::unique_ptr<FileHandle>> openForWriting(const std::filesystem::path& file) override;
    Result<std::unique_ptr<FileHandle>> openForReading(const std::filesystem::path& file) override;

    // Flushes a file's contents, or a directory's entries, to the storage device.
    static Result<void> synchronize(const std::filesystem::path& fileOrDirectory);
};

} // namespace norla
