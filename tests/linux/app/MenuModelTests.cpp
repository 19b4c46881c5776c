#include "app/MenuModel.h"

#include "TestEnvironment.h"
#include "foundation/GUniquePtr.h"
#include "platform/NotificationCenter.h"
#include "web/OfficeNotifications.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace norla {
namespace {

    std::string attribute(GMenuModel* menu, int index, const char* name)
    {
        GVariant* value = g_menu_model_get_item_attribute_value(menu, index, name, nullptr);
        if (!value)
            return {};
        std::string text = g_variant_is_of_type(value, G_VARIANT_TYPE_STRING)
            ? std::string(g_variant_get_string(value, nullptr))
            : std::string(GCharPtr(g_variant_print(value, FALSE)).get());
        g_variant_unref(value);
        return text;
    }

    struct Item {
        std::string label;
        std::string action; // "app.menu-command(4)"
        bool operator==(const Item&) const = default;
    };

    // A submenu as its sections, each a list of items.
    std::vector<std::vector<Item>> sectionsOf(GMenuModel* submenu)
    {
        std::vector<std::vector<Item>> sections;
        for (int s = 0; s < g_menu_model_get_n_items(submenu); ++s) {
            auto section = GRef<GMenuModel>::adopt(g_menu_model_get_item_link(submenu, s, G_MENU_LINK_SECTION));
            std::vector<Item> items;
            for (int i = 0; i < g_menu_model_get_n_items(section.get()); ++i) {
                std::string action = attribute(section.get(), i, G_MENU_ATTRIBUTE_ACTION);
                std::string target = attribute(section.get(), i, G_MENU_ATTRIBUTE_TARGET);
                items.push_back({ attribute(section.get(), i, G_MENU_ATTRIBUTE_LABEL),
                    target.empty() ? action : action + "(" + target + ")" });
            }
            sections.push_back(items);
        }
        return sections;
    }

    GRef<GMenuModel> submenu(const MenuModel& model, int index)
    {
        return GRef<GMenuModel>::adopt(
            g_menu_model_get_item_link(G_MENU_MODEL(model.menuBar.get()), index, G_MENU_LINK_SUBMENU));
    }

    std::string acceleratorOf(const MenuModel& model, const std::string& action)
    {
        for (const auto& accelerator : model.accelerators) {
            if (accelerator.detailedAction == action)
                return accelerator.accelerator;
        }
        return {};
    }

    TEST(MenuModelTests, TheGoMenuHasItsTenItemsInThreeSectionsWithControlDigitShortcutsOnTheFirstSeven)
    {
        auto model = MenuModel::build(MenuCommands::groups());
        auto* bar = G_MENU_MODEL(model.menuBar.get());
        ASSERT_EQ(g_menu_model_get_n_items(bar), 3);
        EXPECT_EQ(attribute(bar, 0, G_MENU_ATTRIBUTE_LABEL), "ファイル");
        EXPECT_EQ(attribute(bar, 1, G_MENU_ATTRIBUTE_LABEL), "表示");
        EXPECT_EQ(attribute(bar, 2, G_MENU_ATTRIBUTE_LABEL), "移動");

        auto go = sectionsOf(submenu(model, 2).get());
        ASSERT_EQ(go.size(), 3u); // separators before 議事録 and データベース
        std::vector<std::string> labels;
        for (const auto& section : go) {
            for (const auto& item : section)
                labels.push_back(item.label);
        }
        EXPECT_EQ(labels,
            (std::vector<std::string> { "メッセージ", "タスク一覧", "カレンダー", "AI", "議事録", "社内ページ",
                "スライド", "データベース", "決める", "取引先" }));
        EXPECT_EQ(go[1].front().label, "議事録");
        EXPECT_EQ(go[2].front().label, "データベース");

        for (size_t s = 0, number = 1; s < go.size(); ++s) {
            for (const auto& item : go[s]) {
                std::string expected = number <= 7 ? "<Control>" + std::to_string(number) : "";
                EXPECT_EQ(acceleratorOf(model, item.action), expected) << item.label;
                ++number;
            }
        }
    }

    TEST(MenuModelTests, EachCommandPostsTheCoreActionOfItsItem)
    {
        test::TestEnvironment environment;
        auto model = MenuModel::build(MenuCommands::groups());
        auto view = sectionsOf(submenu(model, 1).get());
        ASSERT_EQ(view.size(), 1u);
        ASSERT_EQ(view[0].size(), 2u);
        EXPECT_EQ(view[0][0].label, "サイドバーを畳む");
        EXPECT_EQ(acceleratorOf(model, view[0][0].action), "<Control>b");
        EXPECT_EQ(view[0][1].label, "再読み込み");
        EXPECT_EQ(acceleratorOf(model, view[0][1].action), "<Control>r");

        // The fifth Go item ("議事録", Ctrl+5) opens its path through the in-process notification.
        auto go = sectionsOf(submenu(model, 2).get());
        const auto& minutes = go[1].front();
        auto index = std::stoul(minutes.action.substr(minutes.action.find('(') + 1));
        std::vector<std::string> opened;
        auto token = NotificationCenter::defaultCenter().addObserver(
            std::string(officeOpenPath), [&](const Notification& notification) {
                opened.push_back(std::any_cast<std::string>(notification.object));
            });
        model.actions.at(index).perform();
        environment.main().runUntilIdle();
        NotificationCenter::defaultCenter().removeObserver(token);
        EXPECT_EQ(opened, (std::vector<std::string> { "/meeting-notes" }));
    }

} // namespace
} // namespace norla
