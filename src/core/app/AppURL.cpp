#include "app/AppURL.h"

#include "app/BuildConfiguration.h"
#include "platform/InfoDictionary.h"
#include "platform/Seams.h"

#include <stdexcept>

namespace norla {

namespace {

    Url productionAppURL()
    {
        auto url = parseUrl(build::productionOrigin);
        if (!url)
            throw std::logic_error("the production origin of the build does not parse as a URL");
        return std::move(*url);
    }

    bool isTrimmedSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

    std::string_view trimmed(std::string_view text)
    {
        while (!text.empty() && isTrimmedSpace(text.front()))
            text.remove_prefix(1);
        while (!text.empty() && isTrimmedSpace(text.back()))
            text.remove_suffix(1);
        return text;
    }

} // namespace

std::string lowercased(std::string_view text)
{
    std::string result(text);
    for (auto& c : result) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return result;
}

Url resolveAppURL()
{
    auto info = Seam<InfoDictionary>::find();
    if (info) {
        auto value = info->value(appURLInfoKey);
        const std::string* text = value ? value->asString() : nullptr;
        if (text && !text->empty()) {
            if (auto url = parseUrl(*text))
                return std::move(*url);
        }
    }
    return productionAppURL();
}

const std::set<std::string, std::less<>>& allowedHosts()
{
    static const std::set<std::string, std::less<>> hosts {
        lowercased(build::productionHost),
        lowercased(build::previewHost),
    };
    return hosts;
}

bool isInAppHost(std::optional<std::string_view> host)
{
    if (!host)
        return false;
    auto lower = lowercased(*host);
    auto appHost = resolveAppURL().host;
    if (appHost && lower == lowercased(*appHost))
        return true;
    if (allowedHosts().contains(lower))
        return true;
    if (lower.ends_with(build::authenticationBackendSuffix))
        return true;
    return lower == build::identityProviderAccountsHost || lower == build::identityProviderCompanionAccountsHost;
}

std::optional<Url> internalURL(std::string_view text)
{
    auto candidate = trimmed(text);
    if (candidate.empty())
        return std::nullopt;
    auto url = resolveUrl(resolveAppURL(), candidate);
    if (!url || lowercased(url->scheme) != "https" || !url->host)
        return std::nullopt;
    if (!allowedHosts().contains(lowercased(*url->host)))
        return std::nullopt;
    return url;
}

} // namespace norla
