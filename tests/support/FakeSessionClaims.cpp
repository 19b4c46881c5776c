#include "FakeSessionClaims.h"

#include "recording/PathForm.h"
#include "recording/RecorderError.h"

#include <functional>

namespace norla::test {

namespace {

    class FakeSessionClaim final : public SessionClaim {
    public:
        explicit FakeSessionClaim(std::function<void()> release)
            : m_release(std::move(release))
        {
        }
        FakeSessionClaim(const FakeSessionClaim&) = delete;
        FakeSessionClaim& operator=(const FakeSessionClaim&) = delete;
        ~FakeSessionClaim() override { m_release(); }

    private:
        std::function<void()> m_release;
    };

} // namespace

void FakeSessionClaims::holdElsewhere(const std::filesystem::path& dir)
{
    std::lock_guard lock(m_mutex);
    m_elsewhere.insert(resolvedPathForm(dir));
}

void FakeSessionClaims::releaseElsewhere(const std::filesystem::path& dir)
{
    std::lock_guard lock(m_mutex);
    m_elsewhere.erase(resolvedPathForm(dir));
}

bool FakeSessionClaims::isHeldHere(const std::filesystem::path& dir) const
{
    std::lock_guard lock(m_mutex);
    return m_here.contains(resolvedPathForm(dir));
}

Result<std::unique_ptr<SessionClaim>> FakeSessionClaims::claim(const std::filesystem::path& dir)
{
    auto form = resolvedPathForm(dir);
    std::lock_guard lock(m_mutex);
    if (m_elsewhere.contains(form) || m_here.contains(form))
        return recorderError(RecorderError::sessionInUse);
    m_here.insert(form);
    return std::unique_ptr<SessionClaim>(std::make_unique<FakeSessionClaim>([weak = weak_from_this(), form] {
        if (auto self = weak.lock())
            self->release(form);
    }));
}

bool FakeSessionClaims::isClaimed(const std::filesystem::path& dir)
{
    auto form = resolvedPathForm(dir);
    std::lock_guard lock(m_mutex);
    return m_elsewhere.contains(form) || m_here.contains(form);
}

void FakeSessionClaims::release(const std::filesystem::path& dir)
{
    std::lock_guard lock(m_mutex);
    m_here.erase(dir);
}

} // namespace norla::test
