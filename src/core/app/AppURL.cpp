#include "app/AppURL.h"

#include "app/BuildConfiguration.h"
#include "platform/InfoDictionary.h"
#include "platform/Seams.h"
#include "platform/WhitespaceTrimming.h"

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
    auto candidate = trimmingWhitespacesAndNewlines(text);
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
