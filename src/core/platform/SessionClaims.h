#pragma once

#include "platform/Result.h"

#include <filesystem>
#include <memory>

namespace norla {

// A claim on one session directory: while it is held, no other holder (in this process or another) gets
// one. Releasing it gives the directory up; the platform drops it when the process ends, however it ends.
class SessionClaim {
public:
    virtual ~SessionClaim() = default;
};

// Claims session directories (the seam over the platform's advisory file locks). Several processes share
// the recordings directory: the application, a second instance of it, and norla-rec; whoever records,
// finishes or deletes a session holds its claim, and everyone else keeps out.
class SessionClaims {
public:
    virtual ~SessionClaims() = default;
    // Claims `dir`. Fails with RecorderError::sessionInUse when someone holds it, or with the platform's
    // error (for instance when the directory does not exist).
    virtual Result<std::unique_ptr<SessionClaim>> claim(const std::filesystem::path& dir) = 0;
    // Whether someone holds a claim on `dir` right now; never claims it, never writes to it.
    virtual bool isClaimed(const std::filesystem::path& dir) = 0;
};

} // namespace norla
