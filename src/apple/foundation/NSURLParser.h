#pragma once

#include "platform/Url.h"

namespace norla {

// URLs parsed by Foundation (`NSURLComponents`): paths, queries and fragments stay percent-encoded.
class NSURLParser final : public UrlParser {
public:
    std::optional<Url> parse(std::string_view text) const override;
    std::optional<Url> resolve(const Url& base, std::string_view reference) const override;
    std::optional<std::string> percentDecode(std::string_view text) const override;
};

} // namespace norla
