#include "foundation/NSFileHandles.h"

#include "foundation/FoundationConversions.h"

#include <algorithm>
#include <cstring>

namespace norla {

namespace {

    class NSFileHandleAdapter final : public FileHandle {
    public:
        explicit NSFileHandleAdapter(NSFileHandle* handle)
            : m_handle(handle)
        {
        }
        ~NSFileHandleAdapter() override
        {
            // Releasing the descriptor without synchronising it, as the seam promises.
            if (m_handle)
                [m_handle closeAndReturnError:nil];
        }
        NSFileHandleAdapter(const NSFileHandleAdapter&) = delete;
        NSFileHandleAdapter& operator=(const NSFileHandleAdapter&) = delete;

        Result<void> seek(std::uint64_t offset) override
        {
            return check([&](NSError** error) { return [m_handle seekToOffset:offset error:error]; });
        }
        Result<void> write(std::span<const std::byte> bytes) override
        {
            NSData* data = [NSData dataWithBytes:bytes.data() length:bytes.size()];
            return check([&](NSError** error) { return [m_handle writeData:data error:error]; });
        }
        Result<std::size_t> read(std::span<std::byte> into) override
        {
            if (!m_handle)
                return closed();
            NSError* error = nil;
            NSData* data = [m_handle readDataUpToLength:into.size() error:&error];
            if (!data)
                return toError(error);
            auto count = std::min<std::size_t>(data.length, into.size());
            if (count > 0)
                std::memcpy(into.data(), data.bytes, count);
            return count;
        }
        Result<void> synchronize() override
        {
            return check([&](NSError** error) { return [m_handle synchronizeAndReturnError:error]; });
        }
        Result<void> close() override
        {
            auto closedNow = check([&](NSError** error) { return [m_handle closeAndReturnError:error]; });
            m_handle = nil;
            return closedNow;
        }

    private:
        static Error closed() { return Error::platform("The file handle is closed."); }

        template <class F> Result<void> check(F operation)
        {
            if (!m_handle)
                return closed();
            NSError* error = nil;
            if (operation(&error) != YES)
                return toError(error);
            return {};
        }

        NSFileHandle* m_handle;
    };

    Result<std::unique_ptr<FileHandle>> wrap(NSFileHandle* _Nullable handle, NSError* _Nullable error)
    {
        if (!handle)
            return toError(error);
        return std::unique_ptr<FileHandle>(std::make_unique<NSFileHandleAdapter>(handle));
    }

} // namespace

Result<std::unique_ptr<FileHandle>> NSFileHandles::openForWriting(const std::filesystem::path& file)
{
    NSError* error = nil;
    NSFileHandle* handle = [NSFileHandle fileHandleForWritingToURL:toFileURL(file) error:&error];
    return wrap(handle, error);
}

Result<std::unique_ptr<FileHandle>> NSFileHandles::openForReading(const std::filesystem::path& file)
{
    NSError* error = nil;
    NSFileHandle* handle = [NSFileHandle fileHandleForReadingFromURL:toFileURL(file) error:&error];
    return wrap(handle, error);
}

} // namespace norla
