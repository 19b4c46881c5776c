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
        m_failures.insert_or_assign(file, std::make_pair(afterBytes, std::move(error)));
    }
    // Called instead of the real flush, with the path the handle was opened for.
    void onSynchronize(std::function<Result<void>(const std::filesystem::path&)> hook)
    {
        m_shared->synchronize = std::move(hook);
    }
    int openReadHandles() const { return m_shared->open; }

    Result<std::unique_ptr<FileHandle>> openForWriting(const std::filesystem::path& file) override
    {
        return m_real->openForWriting(file);
    }
    Result<std::unique_ptr<FileHandle>> openForReading(const std::filesystem::path& file) override
    {
        auto failure = m_failures.find(file);
        if (failure != m_failures.end() && !failure->second.first)
            return failure->second.second;
        auto handle = m_real->openForReading(file);
        if (!handle)
            return handle;
        ++m_shared->open;
        auto made = std::make_unique<ReadHandle>(std::move(handle).value(), file, m_shared);
        if (failure != m_failures.end())
            made->m_failure.emplace(*failure->second.first, failure->second.second);
        return std::unique_ptr<FileHandle>(std::move(made));
    }

private:
    // Shared with the handles, which may outlive this object.
    struct Shared {
        std::atomic<int> open { 0 };
        std::function<Result<void>(const std::filesystem::path&)> synchronize;
    };

    struct ReadHandle final : FileHandle {
        ReadHandle(std::unique_ptr<FileHandle> real, std::filesystem::path path, std::shared_ptr<Shared> shared)
            : m_real(std::move(real))
            , m_path(std::move(path))
            , m_shared(std::move(shared))
        {
        }
        Result<void> seek(std::uint64_t offset) override { return m_real->seek(offset); }
        Result<void> write(std::span<const std::byte> bytes) override { return m_real->write(bytes); }
        Result<std::size_t> read(std::span<std::byte> into) override
        {
            if (m_failure && m_failure->first == 0)
                return m_failure->second;
            auto read = m_real->read(m_failure ? into.first(std::min(into.size(), m_failure->first)) : into);
            if (read && m_failure)
                m_failure->first -= read.value();
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

        std::unique_ptr<FileHandle> m_real;
        std::filesystem::path m_path;
        std::shared_ptr<Shared> m_shared;
        std::optional<std::pair<std::size_t, Error>> m_failure; // bytes still readable, then this error
    };

    std::shared_ptr<FileHandles> m_real;
    std::map<std::filesystem::path, std::pair<std::optional<std::size_t>, Error>> m_failures;
    std::shared_ptr<Shared> m_shared = std::make_shared<Shared>();
};

} // namespace norla::test
