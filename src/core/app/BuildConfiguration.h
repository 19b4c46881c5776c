#pragma once

#include <string_view>

// Values that are configuration of the build: hosts, domain suffixes and the application identifier.
// Everything that compares against them reads them from here.
namespace norla::build {

// The web application's production origin: an https URL with no path. Its host is the production host.
inline constexpr std::string_view productionOrigin = "https://office.norla.jp";
inline constexpr std::string_view productionHost = "office.norla.jp";
// Preview deployments of the web application.
inline constexpr std::string_view previewHost = "preview.office.norla.jp";

// The identity provider: its name (the second-level label of its domains), its two accounts hosts and
// its domain suffix.
inline constexpr std::string_view identityProviderName = "google";
inline constexpr std::string_view identityProviderAccountsHost = "accounts.google.com";
inline constexpr std::string_view identityProviderCompanionAccountsHost = "accounts.google.co.jp";
inline constexpr std::string_view identityProviderDomainSuffix = ".google.com";

// The authentication backend's domain suffix: any subdomain matches, the bare domain does not.
inline constexpr std::string_view authenticationBackendSuffix = ".supabase.co";

inline constexpr std::string_view applicationIdentifier = "jp.norla.office";

} // namespace norla::build
