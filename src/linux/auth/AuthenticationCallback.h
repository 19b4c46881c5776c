#pragma once

#include "platform/Url.h"

#include <string>

namespace norla {

// The HTTPS address that ends a sign-in: https://<host><path>, whatever query and fragment follow.
class AuthenticationCallback {
public:
    AuthenticationCallback(std::string host, std::string path);

    const std::string& host() const { return m_host; }
    const std::string& path() const { return m_path; }

    // The scheme is https, the host is the callback's (hosts have no case) on the default port, and the
    // still-encoded path is the callback's exactly.
    bool matches(const Url& url) const;

private:
    std::string m_host;
    std::string m_path;
};

} // namespace norla
