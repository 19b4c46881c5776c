#include "foundation/NSURLParser.h"

#include "foundation/FoundationConversions.h"

namespace norla {

namespace {

    std::optional<Url> fromComponents(NSURLComponents* _Nullable components)
    {
        if (!components || !components.scheme)
            return std::nullopt;
        NSURL* url = components.URL;
        if (!url)
            return std::nullopt;
        Url parsed;
        parsed.scheme = toString(components.scheme);
        if (NSString* host = components.percentEncodedHost; host.length > 0)
            parsed.host = toString(host);
        if (NSNumber* port = components.port)
            parsed.port = port.intValue;
        parsed.path = toString(components.percentEncodedPath);
        if (NSString* query = components.percentEncodedQuery)
            parsed.query = toString(query);
        if (NSString* fragment = components.percentEncodedFragment)
            parsed.fragment = toString(fragment);
        parsed.absoluteString = toString(url.absoluteString);
        return parsed;
    }

} // namespace

std::optional<Url> NSURLParser::parse(std::string_view text) const
{
    return fromComponents([NSURLComponents componentsWithString:toNSString(text)]);
}

std::optional<Url> NSURLParser::resolve(const Url& base, std::string_view reference) const
{
    NSURL* baseURL = toNSURL(base);
    if (!baseURL)
        return std::nullopt;
    NSURL* resolved = [NSURL URLWithString:toNSString(reference) relativeToURL:baseURL].absoluteURL;
    if (!resolved)
        return std::nullopt;
    return fromComponents([NSURLComponents componentsWithURL:resolved resolvingAgainstBaseURL:YES]);
}

std::optional<std::string> NSURLParser::percentDecode(std::string_view text) const
{
    // An escaped NUL would cut the text short for every C API downstream: refuse it.
    if (text.find("%00") != std::string_view::npos)
        return std::nullopt;
    NSString* decoded = toNSString(text).stringByRemovingPercentEncoding;
    if (!decoded)
        return std::nullopt;
    return toString(decoded);
}

} // namespace norla
