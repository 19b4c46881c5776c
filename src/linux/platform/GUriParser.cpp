#include "platform/GUriParser.h"

#include "foundation/GUniquePtr.h"

#include <algorithm>
#include <cstring>

namespace norla {

namespace {

    // Encoded components stay as written (paths keep their escapes); the host is decoded by GUri anyway
    // and checked below.
    constexpr auto parseFlags = G_URI_FLAGS_ENCODED;

    bool isAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }

    // Browsers drop tabs and newlines, trim blanks and read a backslash as a slash; GUri does none of
    // that, so text with such characters could name one host to us and another to the web view.
    bool hasAmbiguousCharacters(std::string_view text)
    {
        return std::any_of(text.begin(), text.end(), [](char c) {
            auto byte = static_cast<unsigned char>(c);
            return byte <= 0x20 || byte == 0x7f || c == '\\';
        });
    }

    // A host as the web view will read it again: a DNS-style name, or an IPv6 literal written in brackets.
    // Anything else (escapes that decoded to '/', '@', ':', '%', …) would move the authority when re-serialized.
    bool isPlainHost(std::string_view host, bool writtenAsLiteral)
    {
        bool literal = writtenAsLiteral && host.find(':') != std::string_view::npos;
        return std::all_of(host.begin(), host.end(), [literal](char c) {
            if (isAsciiAlpha(c) || isAsciiDigit(c) || c == '.')
                return true;
            if (literal)
                return c == ':'; // an IPv6 literal, without a zone identifier
            return c == '-' || c == '_' || c == '~';
        });
    }

    // GUri lower-cases the scheme; the system keeps it as written.
    std::string writtenScheme(std::string_view text, const char* parsed)
    {
        std::string_view lower = parsed ? parsed : "";
        auto colon = text.find(':');
        if (colon == std::string_view::npos || colon != lower.size() || colon == 0 || !isAsciiAlpha(text[0]))
            return std::string(lower);
        for (size_t i = 0; i < colon; ++i) {
            char c = text[i];
            char folded = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
            if (folded != lower[i])
                return std::string(lower);
        }
        return std::string(text.substr(0, colon));
    }

    std::optional<Url> makeUrl(GUri* uri, std::string_view writtenText, bool mayHoldLiteral)
    {
        Url url;
        url.scheme = writtenScheme(writtenText, g_uri_get_scheme(uri));
        if (const char* host = g_uri_get_host(uri); host && *host) {
            if (!isPlainHost(host, mayHoldLiteral))
                return std::nullopt;
            url.host = host;
        }
        if (int port = g_uri_get_port(uri); port >= 0)
            url.port = port;
        url.path = g_uri_get_path(uri);
        if (const char* query = g_uri_get_query(uri))
            url.query = query;
        if (const char* fragment = g_uri_get_fragment(uri))
            url.fragment = fragment;
        GCharPtr serialized(g_uri_to_string(uri));
        url.absoluteString = serialized.get();

        // The text we hand on must name the same authority when read again.
        GErrorPtr error;
        GUniquePtr<GUri> reread(g_uri_parse(url.absoluteString.c_str(), parseFlags, GErrorOut(error)));
        if (!reread || g_strcmp0(g_uri_get_host(reread.get()), g_uri_get_host(uri)) != 0
            || g_uri_get_port(reread.get()) != g_uri_get_port(uri))
            return std::nullopt;
        return url;
    }

} // namespace

std::optional<Url> GUriParser::parse(std::string_view text) const
{
    if (text.empty() || hasAmbiguousCharacters(text))
        return std::nullopt;
    std::string owned(text);
    if (owned.size() != std::strlen(owned.c_str()))
        return std::nullopt;
    GErrorPtr error;
    GUniquePtr<GUri> uri(g_uri_parse(owned.c_str(), parseFlags, GErrorOut(error)));
    if (!uri)
        return std::nullopt;
    return makeUrl(uri.get(), text, text.find('[') != std::string_view::npos);
}

std::optional<Url> GUriParser::parseSerialized(std::string_view text) const
{
    if (auto url = parse(text))
        return url;
    std::string owned(text);
    if (owned.size() != std::strlen(owned.c_str()))
        return std::nullopt;
    // Everything but the unreserved characters, the delimiters and existing escapes.
    GCharPtr escaped(g_uri_escape_string(owned.c_str(), ":/?#[]@!$&'()*+,;=%", FALSE));
    return parse(escaped.get());
}

std::optional<Url> GUriParser::resolve(const Url& base, std::string_view reference) const
{
    if (hasAmbiguousCharacters(reference))
        return std::nullopt;
    std::string ownedReference(reference);
    if (ownedReference.size() != std::strlen(ownedReference.c_str()))
        return std::nullopt;
    GErrorPtr error;
    GUniquePtr<GUri> baseUri(g_uri_parse(base.absoluteString.c_str(), parseFlags, GErrorOut(error)));
    if (!baseUri)
        return std::nullopt;
    GUniquePtr<GUri> uri(g_uri_parse_relative(baseUri.get(), ownedReference.c_str(), parseFlags, GErrorOut(error)));
    if (!uri)
        return std::nullopt;
    bool mayHoldLiteral
        = reference.find('[') != std::string_view::npos || base.absoluteString.find('[') != std::string::npos;
    auto resolved = makeUrl(uri.get(), reference, mayHoldLiteral);
    // A relative reference keeps the base's scheme as the base wrote it.
    if (resolved && g_uri_peek_scheme(ownedReference.c_str()) == nullptr)
        resolved->scheme = base.scheme;
    return resolved;
}

std::optional<std::string> GUriParser::percentDecode(std::string_view text) const
{
    std::string owned(text);
    if (owned.size() != std::strlen(owned.c_str()))
        return std::nullopt;
    GCharPtr decoded(g_uri_unescape_string(owned.c_str(), nullptr));
    if (!decoded)
        return std::nullopt;
    return std::string(decoded.get());
}

} // namespace norla
