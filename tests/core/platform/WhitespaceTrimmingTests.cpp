#include "platform/WhitespaceTrimming.h"

#include <gtest/gtest.h>

namespace norla {
namespace {

    // Every Unicode white space and line break goes from both ends and nothing inside; invisible characters
    // that are not white space (zero-width space, byte-order mark) and broken UTF-8 stay.
    TEST(WhitespaceTrimmingTest, UnicodeWhitespaceGoesFromBothEndsAndNothingElse)
    {
        const std::pair<std::string_view, std::string_view> cases[] = { { " \t\n\v\f\r/chat \r\n", "/chat" },
            { "\u3000\u00a0\u0085\u1680/会議 室\u2028\u2029\u2000\u200a\u202f\u205f", "/会議 室" },
            { "\u3000 \u00a0", "" }, { "", "" }, { "\u200bx\ufeff", "\u200bx\ufeff" },
            { "\x80 x \xe3\x80", "\x80 x \xe3\x80" }, // a lone continuation byte, a truncated sequence
            { "\xc0\xa0x ", "\xc0\xa0x" }, // an over-long space
            { " x\xed\xa0\x80", "x\xed\xa0\x80" } }; // an encoded surrogate
        for (auto& [text, trimmed] : cases)
            EXPECT_EQ(trimmingWhitespacesAndNewlines(text), trimmed) << text;
    }

} // namespace
} // namespace norla
