#include "platform/PosixSessionClaims.h"

#include "recording/RecorderError.h"
#include "recording/RecordingFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace norla {

namespace {

    Error systemError(int code) { return Error::platform(std::system_category().message(code), code); }

    // An open descriptor, closed when it goes (which drops its lock).
    class Descriptor {
    public:
        explicit Descriptor(int descriptor)
            : m_descriptor(descriptor)
        {
        }
        Descriptor(const Descriptor&) = delete;
        Descriptor& operator=(const Descriptor&) = delete;
        ~Descriptor()
        {
            if (m_descriptor >= 0)
                ::close(m_descriptor);
        }
        int get() const { return m_descriptor; }

    private:
        int m_descriptor;
    };

    class PosixSessionClaim final : public SessionClaim {
    public:
        explicit PosixSessionClaim(std::unique_ptr<Descriptor> descriptor)
            : m_descriptor(std::move(descriptor))
        {
        }

    private:
        std::unique_ptr<Descriptor> m_descriptor;
    };

    int openLockFile(const std::filesystem::path& file, int flags)
    {
        int descriptor;
        do {
            descriptor = ::open(file.c_str(), flags | O_CLOEXEC | O_NOFOLLOW, 0600);
        } while (descriptor < 0 && errno == EINTR);
        return descriptor;
    }

    struct flock wholeFile(short type)
    {
        struct flock lock { };
        lock.l_type = type;
        lock.l_whence = SEEK_SET;
        lock.l_start = 0;
        lock.l_len = 0;
        return lock;
    }

    // Whether `descriptor` is still the file linked at `file`: a holder that removed the session unlinks the
    // lock file, and whoever opened it just before then has locked a file nobody else can find.
    bool isLinkedAt(int descriptor, const std::filesystem::path& file)
    {
        struct stat opened { };
        struct stat linked { };
        return ::fstat(descriptor, &opened) == 0 && ::lstat(file.c_str(), &linked) == 0
            && opened.st_dev == linked.st_dev && opened.st_ino == linked.st_ino;
    }

} // namespace

Result<std::unique_ptr<SessionClaim>> PosixSessionClaims::claim(const std::filesystem::path& dir)
{
    auto file = dir / RecordingFiles::claimFileName;
    auto descriptor = std::make_unique<Descriptor>(openLockFile(file, O_RDWR | O_CREAT));
    if (descriptor->get() < 0)
        return systemError(errno);
    auto lock = wholeFile(F_WRLCK);
    if (::fcntl(descriptor->get(), F_OFD_SETLK, &lock) < 0) {
        if (errno == EAGAIN || errno == EACCES)
            return recorderError(RecorderError::sessionInUse);
        return systemError(errno);
    }
    if (!isLinkedAt(descriptor->get(), file))
        return recorderError(RecorderError::sessionInUse);
    return std::unique_ptr<SessionClaim>(std::make_unique<PosixSessionClaim>(std::move(descriptor)));
}

bool PosixSessionClaims::isClaimed(const std::filesystem::path& dir)
{
    // Testing for a lock takes none, so a look never stands in a claimer's way.
    Descriptor descriptor(openLockFile(dir / RecordingFiles::claimFileName, O_RDONLY));
    if (descriptor.get() < 0)
        return false;
    auto lock = wholeFile(F_WRLCK);
    if (::fcntl(descriptor.get(), F_OFD_GETLK, &lock) < 0)
        return false;
    return lock.l_type != F_UNLCK;
}

} // namespace norla
