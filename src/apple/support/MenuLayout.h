#pragma once

#include "app/MenuCommands.h"

#include <cstddef>
#include <string>
#include <vector>

namespace norla {

// The core's menu description in the shape UIKit menus are built in: each group becomes one menu whose
// separators split it into inline sections, and every command has one index, which its key command
// carries as its property list so that the one action method can find it again.
struct MenuLayout {
    struct Group {
        MenuGroup::Placement placement;
        std::string title;
        std::vector<std::vector<std::size_t>> sections; // command indices; no empty sections
    };

    std::vector<MenuCommand> commands; // in menu order
    std::vector<Group> groups;

    static MenuLayout build(const std::vector<MenuGroup>& groups);

    // The command an index names; null for an index the layout never gave out.
    const MenuCommand* command(long long index) const;
};

} // namespace norla
