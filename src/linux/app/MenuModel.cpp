#include "app/MenuModel.h"

namespace norla {

namespace {

    GRef<GMenu> newMenu() { return GRef<GMenu>::adopt(g_menu_new()); }

    void appendSection(GMenu* menu, GRef<GMenu>& section)
    {
        if (g_menu_model_get_n_items(G_MENU_MODEL(section.get())) > 0)
            g_menu_append_section(menu, nullptr, G_MENU_MODEL(section.get()));
        section = newMenu();
    }

    void appendItem(GMenu* section, const char* label, const char* detailedAction)
    {
        g_menu_append(section, label, detailedAction);
    }

} // namespace

MenuModel MenuModel::build(const std::vector<MenuGroup>& groups)
{
    MenuModel model;
    model.menuBar = newMenu();

    // The application's own commands: windows come and go like the platform's scenes.
    auto file = newMenu();
    auto fileSection = newMenu();
    appendItem(fileSection.get(), "新しいウインドウ", "app.new-window");
    appendItem(fileSection.get(), "ウインドウを閉じる", "window.close");
    appendSection(file.get(), fileSection);
    appendItem(fileSection.get(), "終了", "app.quit");
    appendSection(file.get(), fileSection);
    g_menu_append_submenu(model.menuBar.get(), "ファイル", G_MENU_MODEL(file.get()));
    model.accelerators.push_back({ "app.new-window", "<Control>n" });
    model.accelerators.push_back({ "window.close", "<Control>w" });
    model.accelerators.push_back({ "app.quit", "<Control>q" });

    for (const auto& group : groups) {
        auto menu = newMenu();
        auto section = newMenu();
        for (const auto& entry : group.entries) {
            if (std::holds_alternative<MenuSeparator>(entry)) {
                appendSection(menu.get(), section);
                continue;
            }
            const auto& command = std::get<MenuCommand>(entry);
            std::string detailed
                = std::string("app.") + commandAction + "(" + std::to_string(model.actions.size()) + ")";
            appendItem(section.get(), command.title.c_str(), detailed.c_str());
            if (command.key)
                model.accelerators.push_back({ detailed, std::string("<Control>") + *command.key });
            model.actions.push_back(command.action);
        }
        appendSection(menu.get(), section);
        const char* title = group.placement == MenuGroup::Placement::afterToolbar ? "表示" : group.title.c_str();
        g_menu_append_submenu(model.menuBar.get(), title, G_MENU_MODEL(menu.get()));
    }
    return model;
}

} // namespace norla
