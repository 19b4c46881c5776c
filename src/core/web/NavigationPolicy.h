#pragma once

#include "platform/Url.h"
#include "web/NavigationDelegate.h"
#include "web/UIDelegate.h"

#include <array>
#include <optional>
#include <string_view>

namespace norla {

// Schemes the system opens for us, compared with a URL's lower-cased scheme.
inline constexpr std::array<std::string_view, 4> externalSchemes { "https", "http", "mailto", "tel" };
bool isExternalScheme(std::string_view scheme);

// Where a failed sign-in exchange lands, on the application URL.
inline constexpr std::string_view signInFailurePath = "/auth/login?error=auth_failed";

// What the web view does with a navigation.
enum class NavigationDecision {
    allow,
    openExternally, // hand the URL to the system, then cancel in the page
    cancel,
};

// Stay on the web application and the sign-in hosts; hand web, mail and telephone links to the system.
// The same for every frame. Only a request without any URL is allowed as such; one whose URL does not
// parse is cancelled.
NavigationDecision decideNavigation(const NavigationAction& action);

// The application's own host gets the camera and microphone without a prompt; everyone else is denied.
PermissionDecision decideMediaCapturePermission(const SecurityOrigin& origin, const Url& appURL);

// Whether a failed load was part of signing in: a path under "/auth/", or a host of the identity provider.
// The failing URL is asked first, then the page's current URL.
bool isSignInFailure(const NavigationError& error, const std::optional<Url>& currentURL);

// signInFailurePath resolved against the application URL.
std::optional<Url> signInFailureURL(const Url& appURL);

} // namespace norla
