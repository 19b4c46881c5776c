#include "support/KeyShortcut.h"

#include <gtest/gtest.h>

namespace norla {

TEST(KeyShortcutTest, CommandPlusTheKeyWithUpperCaseAsShiftAndNoneForUnprintableKeys)
{
    EXPECT_EQ(keyShortcut('b'), (KeyShortcut { "b", KeyModifierFlags::command }));
    EXPECT_EQ(keyShortcut('1'), (KeyShortcut { "1", KeyModifierFlags::command }));
    EXPECT_EQ(keyShortcut('R'), (KeyShortcut { "r", KeyModifierFlags::command | KeyModifierFlags::shift }));
    EXPECT_EQ(keyShortcut(std::nullopt), std::nullopt);
    EXPECT_EQ(keyShortcut(' '), std::nullopt);
    EXPECT_EQ(keyShortcut('\n'), std::nullopt);
}

} // namespace norla
