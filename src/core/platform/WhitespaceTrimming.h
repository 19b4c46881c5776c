#pragma once

#include <string_view>

namespace norla {

// Whether a code point is white space or a line break in Unicode's sense (the White_Space property:
// U+0009–U+000D, U+0020, U+0085, U+00A0, U+1680, U+2000–U+200A, U+2028, U+2029, U+202F, U+205F, U+3000).
bool isWhitespaceOrNewline(char32_t codePoint);

// UTF-8 text without the white space and line breaks at both ends. Bytes that are not UTF-8 end the
// trimming where they stand, so they are never dropped.
std::string_view trimmingWhitespacesAndNewlines(std::string_view text);

} // namespace norla
