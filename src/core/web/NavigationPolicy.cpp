#include "web/NavigationPolicy.h"

#include "app/AppURL.h"
#include "app/BuildConfiguration.h"
#include "web/RecordingSchemeHandlerFactory.h"

#include <algorithm>

namespace norla {

bool isExternalScheme(std::string_view scheme)
{
    return std::find(externalSchemes.begin(), externalSchemes.end(), scheme) != externalSchemes.end();
}

NavigationDecision decideNavigation(const NavigationAction& action)
{
    if (action.requestURLUnparsable)
        return NavigationDecision::cancel;
    const auto& url = action.requestURL;
    if (!url)
        return NavigationDecision::allow;
    if (url->scheme == "about" || url->scheme == recordingURLScheme)
        return NavigationDecision::allow;
    if (isInAppHost(url->host))
        return NavigationDecision::allow;
    if (isExternalScheme(lowercased(url->scheme)))
        return NavigationDecision::openExternally;
    return NavigationDecision::cancel;
}

PermissionDecision decideMediaCapturePermission(const SecurityOrigin& origin, const Url& appURL)
{
    if (appURL.host && origin.host == *appURL.host)
        return PermissionDecision::grant;
    return PermissionDecision::deny;
}

bool isSignInFailure(const NavigationError& error, const std::optional<Url>& currentURL)
{
    std::string path;
    if (error.failingURL)
        path = error.failingURL->path;
    else if (currentURL)
        path = currentURL->path;

    std::string host;
    if (error.failingURL && error.failingURL->host)
        host = lowercased(*error.failingURL->host);
    else if (currentURL && currentURL->host)
        host = lowercased(*currentURL->host);

    return path.starts_with("/auth/") || host.find(build::identityProviderName) != std::string::npos;
}

std::optional<Url> signInFailureURL(const Url& appURL) { return resolveUrl(appURL, signInFailurePath); }

} // namespace norla
