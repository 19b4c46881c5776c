#include "FaultyFileHandles.h"

#include <algorithm>

namespace norla::test {

// Passes everything through, counts closing, and fails every read once the planned number of bytes was read.
class ObservedReadHandle final : public FileHandle {
public:
    ObservedReadHandle(std::unique_ptr<FileHandle> real, std::filesystem::path path,
        std::shared_ptr<FaultyFileHandles::Shared> shared, std::optional<FaultyFileHandles::ReadFailure> failure)
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
        if (m_failure->afterBytes == 0)
            return m_failure->error;
        auto read = m_real->read(into.first(std::min(into.size(), m_failure->afterBytes)));
        if (read)
            m_failure->afterBytes -= read.value();
        return read;
    }
    Result<void> synchronize() override
    {
        return m_shared->synchronize ? m_shared->synchronize(m_path) : m_real->synchronize();
    }
    Result<void> close() override
    {
        ++m_shared->closed;
        return m_real->close();
    }

private:
    std::unique_ptr<FileHandle> m_real;
    std::filesystem::path m_path;
    std::shared_ptr<FaultyFileHandles::Shared> m_shared;
    std::optional<FaultyFileHandles::ReadFailure> m_failure;
};

Result<std::unique_ptr<FileHandle>> FaultyFileHandles::openForWriting(const std::filesystem::path& file)
{
    return m_real->openForWriting(file);
}

Result<std::unique_ptr<FileHandle>> FaultyFileHandles::openForReading(const std::filesystem::path& file)
{
    if (auto refused = m_refusedReads.find(file); refused != m_refusedReads.end())
        return refused->second;
    auto handle = m_real->openForReading(file);
    if (!handle)
        return handle;
    ++m_shared->handed;
    std::optional<ReadFailure> failure;
    if (auto failing = m_failingReads.find(file); failing != m_failingReads.end())
        failure = failing->second;
    return std::unique_ptr<FileHandle>(
        std::make_unique<ObservedReadHandle>(std::move(handle).value(), file, m_shared, std::move(failure)));
}

} // namespace norla::test
