#include "platform/WhitespaceTrimming.h"

#include <gtest/gtest.h>

namespace norla {
namespace {

    TEST(WhitespaceTrimmingTest, EveryUnicodeWhitespaceAndLineBreakGoesFromBothEndsAndNothingInside)
    {
        EXPECT_EQ(trimmingWhitespacesAndNewlines(" \t\n\v\f\r/chat \r\n"), "/chat");
        // Ideographic space, no-break space, next line, line and paragraph separators, the wide spaces.
        EXPECT_EQ(
            trimmingWhitespacesAndNewlines("\u3000\u00a0\u0085\u1680/会議 室\u2028\u2029\u2000\u200a\u202f\u205f"),
            "/会議 室");
        EXPECT_EQ(trimmingWhitespacesAndNewlines("\u3000 \u00a0"), "");
        EXPECT_EQ(trimmingWhitespacesAndNewlines(""), "");
    }

    TEST(WhitespaceTrimmingTest, InvisibleCharactersThatAreNotWhitespaceAndBrokenUtf8Stay)
    {
        // Zero-width space and the byte-order mark are formatting characters, not white space.
        EXPECT_EQ(trimmingWhitespacesAndNewlines("\u200bx\ufeff"), "\u200bx\ufeff");
        // A lone continuation byte, a truncated sequence and an over-long space are not spaces.
        EXPECT_EQ(trimmingWhitespacesAndNewlines("\x80 x \xe3\x80"), "\x80 x \xe3\x80");
        EXPECT_EQ(trimmingWhitespacesAndNewlines("\xc0\xa0x "), "\xc0\xa0x");
        EXPECT_EQ(trimmingWhitespacesAndNewlines(" x\xed\xa0\x80"), "x\xed\xa0\x80") << "an encoded surrogate";
    }

} // namespace
} // namespace norla
