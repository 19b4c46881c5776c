#pragma once

#include "platform/Url.h"

#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace norla {

// The Info-dictionary key that overrides the web application's URL.
inline constexpr std::string_view appURLInfoKey = "NorlaAppURL";

// The web application's URL: `NorlaAppURL` when it holds a string that parses as a URL, exactly as written;
// otherwise the production origin. Resolved afresh at each use; never fails.
Url resolveAppURL();

// The production host and the preview-deployment host, lower-case.
const std::set<std::string, std::less<>>& allowedHosts();

// Whether a navigation to this host stays inside the web view.
bool isInAppHost(std::optional<std::string_view> host);

// Turns text from outside the page (a notification's payload) into an application URL that may be loaded:
// an https URL on an allowed host, absolute or relative to the application URL. Nothing otherwise.
std::optional<Url> internalURL(std::string_view text);

// ASCII lower-casing: host names are compared this way throughout.
std::string lowercased(std::string_view text);

} // namespace norla
