#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace norla {

// A parsed URL. Filled only by the platform's parser (GUri on Linux, NSURL on macOS): the core never
// parses URLs itself. `absoluteString` is the re-serialized form, the one to load after a check.
struct Url {
    std::string scheme; // as written
    std::optional<std::string> host; // as the parser stores it; absent when the URL has none
    std::optional<int> port; // only when written explicitly
    std::string path; // still percent-encoded
    std::optional<std::string> query;
    std::optional<std::string> fragment;
    std::string absoluteString;

    bool operator==(const Url&) const = default;
};

class UrlParser {
public:
    virtual ~UrlParser() = default;
    // Parses an absolute URL exactly as written; nothing for text that is not one.
    virtual std::optional<Url> parse(std::string_view text) const = 0;
    // Resolves a reference (absolute or relative) against a base URL.
    virtual std::optional<Url> resolve(const Url& base, std::string_view reference) const = 0;
    // Removes percent-encoding once; nothing when an escape is invalid or decodes to NUL.
    virtual std::optional<std::string> percentDecode(std::string_view text) const = 0;
};

// Shorthands over the installed parser.
std::optional<Url> parseUrl(std::string_view text);
std::optional<Url> resolveUrl(const Url& base, std::string_view reference);

} // namespace norla
