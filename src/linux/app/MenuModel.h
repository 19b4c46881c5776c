#pragma once

#include "app/MenuCommands.h"
#include "foundation/GRef.h"

#include <gio/gio.h>

#include <string>
#include <vector>

namespace norla {

// The menu bar as GIO menus, rendered from the core's menu description: "ファイル" with the window and
// quit commands, then each group of the core in order (the commands placed after the toolbar go into a
// "表示" menu; every other group is a menu of its own). A separator becomes a section break. Each core
// command activates "app.menu-command" with its index into `actions`.
struct MenuModel {
    static constexpr const char* commandAction = "menu-command";

    struct Accelerator {
        std::string detailedAction; // e.g. "app.menu-command(4)"
        std::string accelerator; // e.g. "<Control>5"
    };

    GRef<GMenu> menuBar;
    std::vector<MenuAction> actions;
    std::vector<Accelerator> accelerators;

    static MenuModel build(const std::vector<MenuGroup>& groups);
};

} // namespace norla
