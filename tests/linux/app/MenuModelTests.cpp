#include "app/MenuModel.h"

#include "TestEnvironment.h"
#include "foundation/GUniquePtr.h"
#include "platform/NotificationCenter.h"
#include "web/OfficeNotifications.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace norla {
namespace {

    std::string attribute(GMenuModel* menu, int index, const char* name)
    {
        GUniquePtr<GVariant> value(g_menu_model_get_item_attribute_value(menu, index, name, nullptr));
        if (!value)
            return {};
        return g_variant_is_of_type(value.get(), G_VARIANT_TYPE_STRING)
            ? std::string(g_variant_get_string(value.get(), nullptr))
            : std::string(GCharPtr(g_variant_print(value.get(), FALSE)).get());
    }

    // The Go menu's separators become section breaks with Control+digit on the first seven items, and each
    // item activates the core action of its command.
    TEST(MenuModelTest, TheGoMenuKeepsItsSectionsShortcutsAndActions)
    {
        test::TestEnvironment environment;
        auto model = MenuModel::build(MenuCommands::groups());
        auto* bar = G_MENU_MODEL(model.menuBar.get());
        ASSERT_EQ(g_menu_model_get_n_items(bar), 3);
        EXPECT_EQ(attribute(bar, 2, G_MENU_ATTRIBUTE_LABEL), MenuCommands::groups().at(1).title);
        auto go = GRef<GMenuModel>::adopt(g_menu_model_get_item_link(bar, 2, G_MENU_LINK_SUBMENU));

        std::vector<std::string> items; // "label accelerator", a section break as "---"
        std::vector<std::string> opened;
        auto token = NotificationCenter::defaultCenter().addObserver(
            std::string(officeOpenPath), [&](const Notification& notification) {
                opened.push_back(std::any_cast<std::string>(notification.object));
            });
        for (int s = 0; s < g_menu_model_get_n_items(go.get()); ++s) {
            if (s > 0)
                items.emplace_back("---");
            auto section = GRef<GMenuModel>::adopt(g_menu_model_get_item_link(go.get(), s, G_MENU_LINK_SECTION));
            for (int i = 0; i < g_menu_model_get_n_items(section.get()); ++i) {
                auto target = attribute(section.get(), i, G_MENU_ATTRIBUTE_TARGET);
                auto action = attribute(section.get(), i, G_MENU_ATTRIBUTE_ACTION) + "(" + target + ")";
                auto accelerator
                    = std::ranges::find(model.accelerators, action, &MenuModel::Accelerator::detailedAction);
                items.push_back(attribute(section.get(), i, G_MENU_ATTRIBUTE_LABEL) + " "
                    + (accelerator == model.accelerators.end() ? "" : accelerator->accelerator));
                model.actions.at(std::stoul(target)).perform();
            }
        }
        environment.main().runUntilIdle();
        NotificationCenter::defaultCenter().removeObserver(token);
        std::vector<std::string> expected;
        std::vector<std::string> paths;
        for (const auto& entry : MenuCommands::groups().at(1).entries) {
            const auto* command = std::get_if<MenuCommand>(&entry);
            expected.push_back(!command
                    ? "---"
                    : command->title + " " + (command->key ? std::string("<Control>") + *command->key : ""));
            if (command)
                paths.push_back(*command->action.object);
        }
        EXPECT_EQ(items, expected);
        EXPECT_EQ(opened, paths);
    }

} // namespace
} // namespace norla
