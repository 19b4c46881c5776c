#pragma once

#include "platform/SessionClaims.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <set>

namespace norla::test {

// Claims kept in memory. A test stands in for another process by holding a directory "elsewhere": the
// recorder then finds it claimed until the test lets it go.
class FakeSessionClaims final : public SessionClaims, public std::enable_shared_from_this<FakeSessionClaims> {
public:
    void holdElsewhere(const std::filesystem::path& dir);
    void releaseElsewhere(const std::filesystem::path& dir);
    // Whether the recorder itself holds `dir` now.
    bool isHeldHere(const std::filesystem::path& dir) const;

    Result<std::unique_ptr<SessionClaim>> claim(const std::filesystem::path& dir) override;
    bool isClaimed(const std::filesystem::path& dir) override;

private:
    void release(const std::filesystem::path& dir);

    mutable std::mutex m_mutex;
    std::set<std::filesystem::path> m_elsewhere;
    std::set<std::filesystem::path> m_here;
};

} // namespace norla::test
