#pragma once

#include <optional>
#include <string>
#include <vector>

namespace norla {

// The "Go" menu: the web application's main areas, in menu order.
struct GoMenu {
    struct Item {
        std::string label; // menu title (Japanese)
        std::string path; // inside the web application, always beginning with "/"
        std::optional<char> key; // shortcut: Command (Ctrl on Linux) plus this character
    };

    // Built once, never changes.
    static const std::vector<Item>& items();
};

} // namespace norla
