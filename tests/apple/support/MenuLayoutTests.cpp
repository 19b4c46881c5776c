#include "support/MenuLayout.h"

#include <gtest/gtest.h>

namespace norla {

namespace {
    MenuEntry command(const char* title) { return MenuCommand { title, std::nullopt, { "n", std::nullopt, {} } }; }
}

TEST(MenuLayoutTest, SeparatorsSplitSectionsWithoutEmptyOnesAndIndicesRunAcrossGroups)
{
    std::vector<MenuGroup> groups {
        { MenuGroup::Placement::afterToolbar, "", { command("a"), command("b") } },
        { MenuGroup::Placement::ownMenu, "移動",
            { MenuSeparator {}, command("c"), MenuSeparator {}, MenuSeparator {}, command("d"), MenuSeparator {} } },
    };
    auto layout = MenuLayout::build(groups);
    ASSERT_EQ(layout.groups.size(), 2U);
    EXPECT_EQ(layout.groups[0].sections, (std::vector<std::vector<std::size_t>> { { 0, 1 } }));
    EXPECT_EQ(layout.groups[1].title, "移動");
    EXPECT_EQ(layout.groups[1].sections, (std::vector<std::vector<std::size_t>> { { 2 }, { 3 } }));
    EXPECT_EQ(layout.command(3)->title, "d");
    EXPECT_EQ(layout.command(4), nullptr);
    EXPECT_EQ(layout.command(-1), nullptr);
}

} // namespace norla
