#pragma once

#include "platform/Value.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace norla {

// What a menu item does: post one notification to the default center. Menu items never touch a web
// view; the frontmost window's coordinator acts on the notification.
struct MenuAction {
    std::string notificationName;
    std::optional<std::string> object; // the notification's object, when it has one
    Value userInfo; // an object, or null for none

    void perform() const;
    bool operator==(const MenuAction&) const = default;
};

struct MenuCommand {
    std::string title;
    std::optional<char> key; // shortcut: Command on macOS, Ctrl on Linux, plus this character
    MenuAction action;
};

struct MenuSeparator { };

using MenuEntry = std::variant<MenuCommand, MenuSeparator>;

// One block of commands that both the macOS and the Linux menus render, in order.
struct MenuGroup {
    enum class Placement {
        afterToolbar, // added to the standard View menu, after its toolbar commands
        ownMenu, // a menu of its own, titled `title`
    };
    Placement placement;
    std::string title; // empty for afterToolbar
    std::vector<MenuEntry> entries;
};

struct MenuCommands {
    static constexpr const char* toggleSidebarScript = "window.dispatchEvent(new CustomEvent('toggle-sidebar-rail'))";

    // The sidebar and reload commands, then the "Go" menu. Built once.
    static const std::vector<MenuGroup>& groups();
};

} // namespace norla
