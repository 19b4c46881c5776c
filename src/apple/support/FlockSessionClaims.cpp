#include "support/FlockSessionClaims.h"

#include "recording/RecorderError.h"
#include "recording/RecordingFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace norla {

namespace {

    Error systemError(int code) { return Error::platform(std::system_category().message(code), code); }

    // An open descriptor, closed (and so unlocked) when it goes.
    class LockFile final : public SessionClaim {
    public:
        explicit LockFile(int descriptor)
            : m_descriptor(descriptor)
        {
        }
        LockFile(const LockFile&) = delete;
        LockFile& operator=(const LockFile&) = delete;
        ~LockFile() override
        {
            if (m_descriptor >= 0)
                ::close(m_descriptor);
        }
        int descriptor() const { return m_descriptor; }

    private:
        int m_descriptor;
    };

    std::unique_ptr<LockFile> openLockFile(const std::filesystem::path& file, int flags)
    {
        int descriptor;
        do {
            descriptor = ::open(file.c_str(), flags | O_CLOEXEC | O_NOFOLLOW, 0600);
        } while (descriptor < 0 && errno == EINTR);
        return std::make_unique<LockFile>(descriptor);
    }

    int lock(int descriptor, int operation)
    {
        int result;
        do {
            result = ::flock(descriptor, operation | LOCK_NB);
        } while (result < 0 && errno == EINTR);
        return result;
    }

} // namespace

Result<std::unique_ptr<SessionClaim>> FlockSessionClaims::claim(const std::filesystem::path& dir)
{
    auto file = dir / RecordingFiles::claimFileName;
    auto lockFile = openLockFile(file, O_RDWR | O_CREAT);
    if (lockFile->descriptor() < 0)
        return systemError(errno);
    if (lock(lockFile->descriptor(), LOCK_EX) < 0) {
        if (errno == EWOULDBLOCK)
            return recorderError(RecorderError::sessionInUse);
        return systemError(errno);
    }
    // A holder that removed the session unlinked the lock file: whoever had it open just before then has
    // locked a file nobody else can find.
    struct stat opened { };
    struct stat linked { };
    if (::fstat(lockFile->descriptor(), &opened) != 0 || ::lstat(file.c_str(), &linked) != 0
        || opened.st_dev != linked.st_dev || opened.st_ino != linked.st_ino)
        return recorderError(RecorderError::sessionInUse);
    return std::unique_ptr<SessionClaim>(std::move(lockFile));
}

bool FlockSessionClaims::isClaimed(const std::filesystem::path& dir)
{
    auto lockFile = openLockFile(dir / RecordingFiles::claimFileName, O_RDONLY);
    if (lockFile->descriptor() < 0)
        return false;
    return lock(lockFile->descriptor(), LOCK_SH) < 0 && errno == EWOULDBLOCK;
}

} // namespace norla
