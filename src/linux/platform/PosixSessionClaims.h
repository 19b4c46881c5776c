#pragma once

#include "platform/SessionClaims.h"

namespace norla {

// Claims as open-file-description locks on a lock file in the session directory. The kernel drops such a
// lock when the last descriptor of its open file goes, so a process that dies (killed included) leaves
// no claim behind, only the file, which the next claimer locks again. Locks of two opens conflict even
// inside one process.
class PosixSessionClaims final : public SessionClaims {
public:
    Result<std::unique_ptr<SessionClaim>> claim(const std::filesystem::path& dir) override;
    bool isClaimed(const std::filesystem::path& dir) override;
};

} // namespace norla
