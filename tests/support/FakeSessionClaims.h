#pragma once

#include "platform/SessionClaims.h"
#include "recording/PathForm.h"
#include "recording/RecorderError.h"

#include <filesystem>
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
        std::lock_guard lock(m_mutex);
        if (m_elsewhere.contains(form) || m_here.contains(form))
            return recorderError(RecorderError::sessionInUse);
        m_here.insert(form);
        return std::unique_ptr<SessionClaim>(std::make_unique<Claim>(weak_from_this(), form));
    }
    bool isClaimed(const std::filesystem::path& dir) override
    {
        auto form = resolvedPathForm(dir);
        return locked([&] { return m_elsewhere.contains(form) || m_here.contains(form); });
    }

private:
    class Claim final : public SessionClaim {
    public:
        Claim(std::weak_ptr<FakeSessionClaims> owner, std::filesystem::path dir)
            : m_owner(std::move(owner))
            , m_dir(std::move(dir))
        {
        }
        Claim(const Claim&) = delete;
        Claim& operator=(const Claim&) = delete;
        ~Claim() override
        {
            if (auto owner = m_owner.lock())
                owner->locked([&] { owner->m_here.erase(m_dir); });
        }

    private:
        std::weak_ptr<FakeSessionClaims> m_owner;
        std::filesystem::path m_dir;
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
