#pragma once

#include "platform/SessionClaims.h"
#include "recording/PathForm.h"
#include "recording/RecorderError.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <set>

namespace norla::test {

// Claims kept in memory. A test stands in for another process by holding a directory "elsewhere": the
// recorder then finds it claimed until the test lets it go.
class FakeSessionClaims final : public SessionClaims, public std::enable_shared_from_this<FakeSessionClaims> {
public:
    void holdElsewhere(const std::filesystem::path& dir)
    {
        locked([&] { m_elsewhere.insert(resolvedPathForm(dir)); });
    }
    void releaseElsewhere(const std::filesystem::path& dir)
    {
        locked([&] { m_elsewhere.erase(resolvedPathForm(dir)); });
    }
    // Whether the recorder itself holds `dir` now.
    bool isHeldHere(const std::filesystem::path& dir) const
    {
        return locked([&] { return m_here.contains(resolvedPathForm(dir)); });
    }

    Result<std::unique_ptr<SessionClaim>> claim(const std::filesystem::path& dir) override
    {
        auto form = resolvedPathForm(dir);
        if (!locked([&] { return !m_elsewhere.contains(form) && m_here.insert(form).second; }))
            return recorderError(RecorderError::sessionInUse);
        return std::unique_ptr<SessionClaim>(std::make_unique<Claim>([owner = weak_from_this(), form] {
            if (auto self = owner.lock())
                self->locked([&] { self->m_here.erase(form); });
        }));
    }
    bool isClaimed(const std::filesystem::path& dir) override
    {
        auto form = resolvedPathForm(dir);
        return locked([&] { return m_elsewhere.contains(form) || m_here.contains(form); });
    }

private:
    struct Claim final : SessionClaim {
        explicit Claim(std::function<void()> release)
            : m_release(std::move(release))
        {
        }
        ~Claim() override { m_release(); }
        std::function<void()> m_release;
    };

    template <class Work> auto locked(Work work) const -> decltype(work())
    {
        std::lock_guard lock(m_mutex);
        return work();
    }

    mutable std::mutex m_mutex;
    std::set<std::filesystem::path> m_elsewhere;
    std::set<std::filesystem::path> m_here;
};

} // namespace norla::test
