#include "platform/Url.h"

#include "platform/Seams.h"

namespace norla {

std::optional<Url> parseUrl(std::string_view text) { return seam<UrlParser>()->parse(text); }

std::optional<Url> resolveUrl(const Url& base, std::string_view reference)
{
    return seam<UrlParser>()->resolve(base, reference);
}

} // namespace norla
