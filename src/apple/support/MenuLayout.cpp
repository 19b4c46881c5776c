#include "support/MenuLayout.h"

namespace norla {

MenuLayout MenuLayout::build(const std::vector<MenuGroup>& groups)
{
    MenuLayout layout;
    for (const auto& group : groups) {
        Group built { group.placement, group.title, { {} } };
        for (const auto& entry : group.entries) {
            if (std::holds_alternative<MenuSeparator>(entry)) {
                if (!built.sections.back().empty())
                    built.sections.emplace_back();
                continue;
            }
            built.sections.back().push_back(layout.commands.size());
            layout.commands.push_back(std::get<MenuCommand>(entry));
        }
        if (built.sections.back().empty())
            built.sections.pop_back();
        layout.groups.push_back(std::move(built));
    }
    return layout;
}

const MenuCommand* MenuLayout::command(long long index) const
{
    if (index < 0 || static_cast<unsigned long long>(index) >= commands.size())
        return nullptr;
    return &commands[static_cast<std::size_t>(index)];
}

} // namespace norla
