#pragma once

#include "platform/FileHandle.h"

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>

namespace norla::test {

// Real file handles (from the wrapped implementation) with planned failures: files that cannot be opened
// for reading, and files whose reads fail once a number of bytes has been read. Counts the read handles
// it handed out and how many of them were closed, and lets a test see (and fail) every flush to disk of a
// file or directory opened for reading.
class FaultyFileHandles final : public FileHandles {
public:
    explicit FaultyFileHandles(std::shared_ptr<FileHandles> real)
        : m_real(std::move(real))
    {
    }

    void refuseReading(const std::filesystem::path& file, Error error) { m_refusedReads.insert_or_assign(file, error); }
    void failReadsAfter(const std::filesystem::path& file, std::size_t bytes, Error error)
    {
        m_failingReads.insert_or_assign(file, ReadFailure { bytes, std::move(error) });
    }
    // Called instead of the real flush, with the path the handle was opened for.
    using SynchronizeHook = std::function<Result<void>(const std::filesystem::path&)>;
    void onSynchronize(SynchronizeHook hook) { m_shared->synchronize = std::move(hook); }
    std::size_t readHandleCount() const { return m_shared->handed; }
    std::size_t closedReadHandleCount() const { return m_shared->closed; }

    Result<std::unique_ptr<FileHandle>> openForWriting(const std::filesystem::path& file) override;
    Result<std::unique_ptr<FileHandle>> openForReading(const std::filesystem::path& file) override;

private:
    friend class ObservedReadHandle;
    struct ReadFailure {
        std::size_t afterBytes;
        Error error;
    };
    // Shared with the handles, which may outlive this object.
    struct Shared {
        std::size_t handed = 0;
        std::size_t closed = 0;
        SynchronizeHook synchronize;
    };
    std::shared_ptr<FileHandles> m_real;
    std::map<std::filesystem::path, Error> m_refusedReads;
    std::map<std::filesystem::path, ReadFailure> m_failingReads;
    std::shared_ptr<Shared> m_shared = std::make_shared<Shared>();
};

} // namespace norla::test
