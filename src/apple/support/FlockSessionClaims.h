#pragma once

#include "platform/SessionClaims.h"

namespace norla {

// Claims as flock(2) locks on a lock file in the session directory, for macOS, which has no
// open-file-description record locks. The kernel drops a flock lock when the last descriptor of its open
// file goes, so a process that dies leaves no claim behind, and locks of two opens conflict even inside
// one process. Looking whether a session is claimed takes a shared lock for a moment.
class FlockSessionClaims final : public SessionClaims {
public:
    Result<std::unique_ptr<SessionClaim>> claim(const std::filesystem::path& dir) override;
    bool isClaimed(const std::filesystem::path& dir) override;
};

} // namespace norla
