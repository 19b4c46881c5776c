#pragma once

#include "platform/FileHandle.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace norla::test {

// Real file handles (from the wrapped implementation) with planned failures of reading: a file that cannot
// be opened for reading, or whose reads fail once a number of bytes has been read. Counts the read handles
// still open, and lets a test see (and fail) every flush to disk of a file or directory opened for reading.
class FaultyFileHandles final : public FileHandles {
public:
    explicit FaultyFileHandles(std::shared_ptr<FileHandles> real)
        : m_real(std::move(real))
    {
    }

    // Without `afterBytes`, opening the file for reading fails.
    void failReading(const std::filesystem::path& file, Error error, std::optional<std::size_t> afterBytes = {})
    {
        m_failures.insert_or_assign(file, Failure { afterBytes, std::move(error) });
    }
    // Called instead of the real flush, with the path the handle was opened for.
    using SynchronizeHook = std::function<Result<void>(const std::filesystem::path&)>;
    void onSynchronize(SynchronizeHook hook) { m_shared->synchronize = std::move(hook); }
    int openReadHandles() const { return m_shared->open; }

    Result<std::unique_ptr<FileHandle>> openForWriting(const std::filesystem::path& file) override
    {
        return m_real->openForWriting(file);
    }
    Result<std::unique_ptr<FileHandle>> openForReading(const std::filesystem::path& file) override
    {
        std::optional<Failure> failure;
        if (auto planned = m_failures.find(file); planned != m_failures.end())
            failure = planned->second;
        if (failure && !failure->afterBytes)
            return failure->error;
        auto handle = m_real->openForReading(file);
        if (!handle)
            return handle;
        ++m_shared->open;
        return std::unique_ptr<FileHandle>(
            std::make_unique<ReadHandle>(std::move(handle).value(), file, m_shared, std::move(failure)));
    }

private:
    struct Failure {
        std::optional<std::size_t> afterBytes;
        Error error;
    };
    // Shared with the handles, which may outlive this object.
    struct Shared {
        std::atomic<int> open { 0 };
        SynchronizeHook synchronize;
    };

    class ReadHandle final : public FileHandle {
    public:
        ReadHandle(std::unique_ptr<FileHandle> real, std::filesystem::path path, std::shared_ptr<Shared> shared,
            std::optional<Failure> failure)
            : m_real(std::move(real))
            , m_path(std::move(path))
            , m_shared(std::move(shared))
            , m_failure(std::move(failure))
        {
        }
        Result<void> seek(std::uint64_t offset) override { return m_real->seek(offset); }
        Result<void> write(std::span<const std::byte> bytes) override { return m_real->write(bytes); }
        Result<std::size_t> read(std::span<std::byte> into) override
        {
            if (!m_failure)
                return m_real->read(into);
            auto& left = *m_failure->afterBytes;
            if (left == 0)
                return m_failure->error;
            auto read = m_real->read(into.first(std::min(into.size(), left)));
            if (read)
                left -= read.value();
            return read;
        }
        Result<void> synchronize() override
        {
            return m_shared->synchronize ? m_shared->synchronize(m_path) : m_real->synchronize();
        }
        Result<void> close() override
        {
            --m_shared->open;
            return m_real->close();
        }

    private:
        std::unique_ptr<FileHandle> m_real;
        std::filesystem::path m_path;
        std::shared_ptr<Shared> m_shared;
        std::optional<Failure> m_failure;
    };

    std::shared_ptr<FileHandles> m_real;
    std::map<std::filesystem::path, Failure> m_failures;
    std::shared_ptr<Shared> m_shared = std::make_shared<Shared>();
};

} // namespace norla::test
