#pragma once

#include "platform/Url.h"

namespace norla {

// URLs parsed by GLib's GUri (RFC 3986), refusing what a browser would read differently: the host that a
// check approves must be the host the web view loads from the re-serialized `absoluteString`.
class GUriParser final : public UrlParser {
public:
    std::optional<Url> parse(std::string_view text) const override;
    // A URL as WebKit serialised it. The web's URL standard keeps characters that RFC 3986 does not allow
    // (blanks in the paths of "tel:" and "data:" URLs, "<", "\"", …); when GUri refuses the text as written,
    // GLib percent-encodes those first, so the text a check approves is the one handed on. Nothing when it
    // still does not parse.
    std::optional<Url> parseSerialized(std::string_view text) const;
    std::optional<Url> resolve(const Url& base, std::string_view reference) const override;
    std::optional<std::string> percentDecode(std::string_view text) const override;
};

} // namespace norla
