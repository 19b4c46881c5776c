#include "platform/PosixFileHandles.h"

#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <system_error>
#include <unistd.h>

namespace norla {

namespace {

    Error systemError(int code) { return Error::platform(std::system_category().message(code), code); }
    Error lastSystemError() { return systemError(errno); }

    // One open descriptor, closed when the handle is released.
    class PosixFileHandle final : public FileHandle {
    public:
        explicit PosixFileHandle(int descriptor)
            : m_descriptor(descriptor)
        {
        }
        PosixFileHandle(const PosixFileHandle&) = delete;
        PosixFileHandle& operator=(const PosixFileHandle&) = delete;
        ~PosixFileHandle() override
        {
            if (m_descriptor >= 0)
                ::close(m_descriptor);
        }

        Result<void> seek(std::uint64_t offset) override
        {
            if (m_descriptor < 0)
                return systemError(EBADF);
            if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()))
                return systemError(EINVAL);
            if (::lseek(m_descriptor, static_cast<off_t>(offset), SEEK_SET) < 0)
                return lastSystemError();
            return {};
        }

        Result<void> write(std::span<const std::byte> bytes) override
        {
            if (m_descriptor < 0)
                return systemError(EBADF);
            while (!bytes.empty()) {
                auto written = ::write(m_descriptor, bytes.data(), bytes.size());
                if (written < 0) {
                    if (errno == EINTR)
                        continue;
                    return lastSystemError();
                }
                bytes = bytes.subspan(static_cast<std::size_t>(written));
            }
            return {};
        }

        Result<std::size_t> read(std::span<std::byte> into) override
        {
            if (m_descriptor < 0)
                return systemError(EBADF);
            std::size_t total = 0;
            while (total < into.size()) {
                auto count = ::read(m_descriptor, into.data() + total, into.size() - total);
                if (count < 0) {
                    if (errno == EINTR)
                        continue;
                    return lastSystemError();
                }
                if (count == 0)
                    break;
                total += static_cast<std::size_t>(count);
            }
            return total;
        }

        Result<void> synchronize() override
        {
            if (m_descriptor < 0)
                return systemError(EBADF);
            if (::fsync(m_descriptor) < 0)
                return lastSystemError();
            return {};
        }

        Result<void> close() override
        {
            if (m_descriptor < 0)
                return systemError(EBADF);
            // The descriptor is gone whatever close() reports; retrying could close someone else's.
            int descriptor = m_descriptor;
            m_descriptor = -1;
            if (::close(descriptor) < 0)
                return lastSystemError();
            return {};
        }

    private:
        int m_descriptor = -1;
    };

    Result<std::unique_ptr<FileHandle>> openDescriptor(const std::filesystem::path& file, int flags)
    {
        int descriptor;
        do {
            descriptor = ::open(file.c_str(), flags | O_CLOEXEC);
        } while (descriptor < 0 && errno == EINTR);
        if (descriptor < 0)
            return lastSystemError();
        return std::unique_ptr<FileHandle>(std::make_unique<PosixFileHandle>(descriptor));
    }

} // namespace

Result<std::unique_ptr<FileHandle>> PosixFileHandles::openForWriting(const std::filesystem::path& file)
{
    return openDescriptor(file, O_WRONLY);
}

Result<std::unique_ptr<FileHandle>> PosixFileHandles::openForReading(const std::filesystem::path& file)
{
    return openDescriptor(file, O_RDONLY);
}

Result<void> PosixFileHandles::synchronize(const std::filesystem::path& fileOrDirectory)
{
    auto handle = openDescriptor(fileOrDirectory, O_RDONLY);
    if (!handle)
        return handle.error();
    return handle.value()->synchronize();
}

} // namespace norla
