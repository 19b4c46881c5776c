#include "FaultyFileHandles.h"

#include <algorithm>

namespace norla::test {

namespace {

    // Passes everything through, counts closing, and fails every read once `failAfter` bytes were read.
    class ObservedReadHandle final : public FileHandle {
    public:
        ObservedReadHandle(std::unique_ptr<FileHandle> real, std::filesystem::path path,
            std::shared_ptr<std::size_t> closedCount, std::optional<std::size_t> failAfter, std::optional<Error> error,
            std::shared_ptr<FaultyFileHandles::SynchronizeHook> synchronize)
            : m_real(std::move(real))
            , m_path(std::move(path))
            , m_closedCount(std::move(closedCount))
            , m_remaining(failAfter)
            , m_error(std::move(error))
            , m_synchronize(std::move(synchronize))
        {
        }
        Result<void> seek(std::uint64_t offset) override { return m_real->seek(offset); }
        Result<void> write(std::span<const std::byte> bytes) override { return m_real->write(bytes); }
        Result<std::size_t> read(std::span<std::byte> into) override
        {
            if (!m_remaining)
                return m_real->read(into);
            if (*m_remaining == 0)
                return *m_error;
            auto read = m_real->read(into.first(std::min(into.size(), *m_remaining)));
            if (read)
                *m_remaining -= read.value();
            return read;
        }
        Result<void> synchronize() override
        {
            return *m_synchronize ? (*m_synchronize)(m_path) : m_real->synchronize();
        }
        Result<void> close() override
        {
            ++*m_closedCount;
            return m_real->close();
        }

    private:
        std::unique_ptr<FileHandle> m_real;
        std::filesystem::path m_path;
        std::shared_ptr<std::size_t> m_closedCount;
        std::optional<std::size_t> m_remaining;
        std::optional<Error> m_error;
        std::shared_ptr<FaultyFileHandles::SynchronizeHook> m_synchronize;
    };

} // namespace

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
    ++m_counts->handed;
    std::optional<std::size_t> failAfter;
    std::optional<Error> error;
    if (auto failing = m_failingReads.find(file); failing != m_failingReads.end()) {
        failAfter = failing->second.afterBytes;
        error = failing->second.error;
    }
    // The handle may outlive this object: it keeps the counts alive through an aliasing pointer.
    std::shared_ptr<std::size_t> closedCount(m_counts, &m_counts->closed);
    return std::unique_ptr<FileHandle>(std::make_unique<ObservedReadHandle>(
        std::move(handle).value(), file, std::move(closedCount), failAfter, error, m_synchronize));
}

} // namespace norla::test
