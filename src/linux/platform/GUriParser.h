#pragma once

#include "platform/Url.h"

namespace norla {

// URLs parsed by GLib's GUri (RFC 3986), refusing what a browser would read differently: the host that a
// check approves must be the host the web view loads from the re-serialized `absoluteString`.
class GUriParser final : public UrlParser {
public:
    std::optional<Url> parse(std::string_view text) const override;
    std::optional<Url> resolve(const Url& base, std::string_view reference) const override;
    std::optional<std::string> percentDecode(std::string_view text) const override;
};

} // namespace norla
