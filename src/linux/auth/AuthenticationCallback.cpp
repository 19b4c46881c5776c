#include "auth/AuthenticationCallback.h"

#include "app/AppURL.h"

#include <string_view>

namespace norla {

namespace {
    constexpr int httpsPort = 443;
}

AuthenticationCallback::AuthenticationCallback(std::string host, std::string path)
    : m_host(lowercased(host))
    , m_path(std::move(path))
{
}

bool AuthenticationCallback::matches(const Url& url) const
{
    if (lowercased(url.scheme) != "https" || !url.host || lowercased(*url.host) != m_host)
        return false;
    if (url.port && *url.port != httpsPort)
        return false;
    // "https://host" and "https://host/" are the same address.
    std::string_view path = url.path.empty() ? std::string_view("/") : std::string_view(url.path);
    return path == m_path;
}

} // namespace norla
