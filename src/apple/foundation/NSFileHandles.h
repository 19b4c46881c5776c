#pragma once

#include "platform/FileHandle.h"

namespace norla {

// File handles on Foundation's `NSFileHandle`, through its throwing-free error API.
class NSFileHandles final : public FileHandles {
public:
    Result<std::unique_ptr<FileHandle>> openForWriting(const std::filesystem::path& file) override;
    Result<std::unique_ptr<FileHandle>> openForReading(const std::filesystem::path& file) override;
};

} // namespace norla
