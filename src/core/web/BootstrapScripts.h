#pragma once

#include <string>
#include <string_view>

namespace norla {

// The two scripts the web view injects at document start into the main frame of every page. Each installs
// only when the page's location.origin equals originString exactly; originString is inserted verbatim
// between double quotes, unescaped.

// Gives the page window.norlaMobile (the "norlaRecorder" handler) and routes window.open.
std::string recorderBootstrapScript(std::string_view originString);

// Replaces the page's Notification class, overrides document.visibilityState from the shell's hidden and
// shown events, polls badges and the deployment, and reloads a stale deployment while nobody watches.
std::string shellBootstrapScript(std::string_view originString);

} // namespace norla
