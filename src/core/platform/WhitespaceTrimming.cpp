#include "platform/WhitespaceTrimming.h"

#include <optional>

namespace norla {

namespace {

    struct Decoded {
        char32_t codePoint;
        size_t length;
    };

    bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

    // The code point that starts `text`, when it is well-formed UTF-8 (shortest form, no surrogates).
    std::optional<Decoded> decodeFirst(std::string_view text)
    {
        if (text.empty())
            return std::nullopt;
        auto lead = static_cast<unsigned char>(text[0]);
        size_t length = lead < 0x80 ? 1
            : (lead & 0xE0) == 0xC0 ? 2
            : (lead & 0xF0) == 0xE0 ? 3
            : (lead & 0xF8) == 0xF0 ? 4
                                    : 0;
        if (length == 0 || text.size() < length)
            return std::nullopt;
        char32_t codePoint = length == 1 ? lead
            : length == 2                ? (lead & 0x1F)
            : length == 3                ? (lead & 0x0F)
                                         : (lead & 0x07);
        for (size_t i = 1; i < length; ++i) {
            auto byte = static_cast<unsigned char>(text[i]);
            if (!isContinuation(byte))
                return std::nullopt;
            codePoint = (codePoint << 6) | (byte & 0x3F);
        }
        static constexpr char32_t smallest[] = { 0, 0, 0x80, 0x800, 0x10000 };
        if (codePoint < smallest[length] || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return std::nullopt;
        return Decoded { codePoint, length };
    }

    // The code point that ends `text`.
    std::optional<Decoded> decodeLast(std::string_view text)
    {
        size_t start = text.size();
        while (start > 0 && text.size() - start < 4) {
            --start;
            if (!isContinuation(static_cast<unsigned char>(text[start])))
                break;
        }
        auto decoded = decodeFirst(text.substr(start));
        if (!decoded || start + decoded->length != text.size())
            return std::nullopt;
        return decoded;
    }

} // namespace

bool isWhitespaceOrNewline(char32_t codePoint)
{
    return (codePoint >= 0x09 && codePoint <= 0x0D) || codePoint == 0x20 || codePoint == 0x85 || codePoint == 0xA0
        || codePoint == 0x1680 || (codePoint >= 0x2000 && codePoint <= 0x200A) || codePoint == 0x2028
        || codePoint == 0x2029 || codePoint == 0x202F || codePoint == 0x205F || codePoint == 0x3000;
}

std::string_view trimmingWhitespacesAndNewlines(std::string_view text)
{
    for (auto first = decodeFirst(text); first && isWhitespaceOrNewline(first->codePoint); first = decodeFirst(text))
        text.remove_prefix(first->length);
    for (auto last = decodeLast(text); last && isWhitespaceOrNewline(last->codePoint); last = decodeLast(text))
        text.remove_suffix(last->length);
    return text;
}

} // namespace norla
