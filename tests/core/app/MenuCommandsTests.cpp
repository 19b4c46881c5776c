#include "TestEnvironment.h"

#include "app/GoMenu.h"
#include "app/MenuCommands.h"
#include "platform/NotificationCenter.h"
#include "web/OfficeNotifications.h"

#include <gtest/gtest.h>

#include <any>

namespace norla::test {
namespace {

    const MenuCommand* findCommand(const MenuGroup& group, std::string_view title)
    {
        for (const auto& entry : group.entries) {
            if (const auto* command = std::get_if<MenuCommand>(&entry); command && command->title == title)
                return command;
        }
        return nullptr;
    }

    const MenuGroup& goMenu() { return MenuCommands::groups().at(1); }

    // What the default center delivered, as name, string object (or "-") and user info.
    struct Delivery {
        std::string name;
        std::string object;
        Value userInfo;
    };

    class MenuCommandsTest : public ::testing::Test {
    protected:
        MenuCommandsTest()
        {
            for (auto name : { officeEvaluate, officeReload, officeOpenPath }) {
                m_tokens.push_back(NotificationCenter::defaultCenter().addObserver(
                    std::string(name), [this](const Notification& notification) {
                        const auto* text = std::any_cast<std::string>(&notification.object);
                        deliveries.push_back({ notification.name, text ? *text : "-", notification.userInfo });
                        EXPECT_TRUE(text || !notification.object.has_value());
                    }));
            }
        }
        ~MenuCommandsTest() override
        {
            for (const auto& token : m_tokens)
                NotificationCenter::defaultCenter().removeObserver(token);
        }

        TestEnvironment env;
        std::vector<Delivery> deliveries;

    private:
        std::vector<ObserverToken> m_tokens;
    };

    TEST_F(MenuCommandsTest, TheGoMenuListsTheTenAreasWithSeparatorsBeforeMeetingNotesAndDatabases)
    {
        const auto& group = goMenu();
        EXPECT_EQ(group.placement, MenuGroup::Placement::ownMenu);
        EXPECT_EQ(group.title, "移動");

        std::vector<std::string> rendered;
        for (const auto& entry : group.entries) {
            if (std::holds_alternative<MenuSeparator>(entry)) {
                rendered.emplace_back("---");
                continue;
            }
            const auto& command = std::get<MenuCommand>(entry);
            rendered.push_back(command.title + (command.key ? std::string(" ^") + *command.key : ""));
        }
        EXPECT_EQ(rendered,
            (std::vector<std::string> { "メッセージ ^1", "タスク一覧 ^2", "カレンダー ^3", "AI ^4", "---", "議事録 ^5",
                "社内ページ ^6", "スライド ^7", "---", "データベース", "決める", "取引先" }));
    }

    TEST_F(MenuCommandsTest, EveryGoItemPostsItsPathAndTheItemsMatchTheGoMenuModel)
    {
        const auto& items = GoMenu::items();
        ASSERT_EQ(items.size(), 10u);
        for (const auto& item : items) {
            const auto* command = findCommand(goMenu(), item.label);
            ASSERT_NE(command, nullptr) << item.label;
            EXPECT_EQ(command->key, item.key);
            EXPECT_TRUE(item.path.starts_with('/'));
            command->action.perform();
        }
        env.main().runUntilIdle();
        ASSERT_EQ(deliveries.size(), items.size());
        for (size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(deliveries[i].name, officeOpenPath);
            EXPECT_EQ(deliveries[i].object, items[i].path);
            EXPECT_TRUE(deliveries[i].userInfo.isNull());
        }
    }

    TEST_F(MenuCommandsTest, CommandFivePostsTheMeetingNotesPath)
    {
        const MenuCommand* five = nullptr;
        for (const auto& entry : goMenu().entries) {
            if (const auto* command = std::get_if<MenuCommand>(&entry); command && command->key == '5')
                five = command;
        }
        ASSERT_NE(five, nullptr);
        five->action.perform();
        env.main().runUntilIdle();
        ASSERT_EQ(deliveries.size(), 1u);
        EXPECT_EQ(deliveries[0].object, "/meeting-notes");
    }

    TEST_F(MenuCommandsTest, SidebarAndReloadCommandsPostTheirNotifications)
    {
        const auto& view = MenuCommands::groups().at(0);
        EXPECT_EQ(view.placement, MenuGroup::Placement::afterToolbar);
        ASSERT_EQ(view.entries.size(), 2u);
        const auto* sidebar = findCommand(view, "サイドバーを畳む");
        const auto* reload = findCommand(view, "再読み込み");
        ASSERT_TRUE(sidebar && reload);
        EXPECT_EQ(sidebar->key, 'b');
        EXPECT_EQ(reload->key, 'r');

        sidebar->action.perform();
        reload->action.perform();
        env.main().runUntilIdle();
        ASSERT_EQ(deliveries.size(), 2u);
        EXPECT_EQ(deliveries[0].name, officeEvaluate);
        EXPECT_EQ(deliveries[0].object, "window.dispatchEvent(new CustomEvent('toggle-sidebar-rail'))");
        EXPECT_EQ(deliveries[0].userInfo, Value(Value::Object { { "frontOnly", true } }));
        EXPECT_EQ(deliveries[1].name, officeReload);
        EXPECT_EQ(deliveries[1].object, "-");
        EXPECT_TRUE(deliveries[1].userInfo.isNull());
    }

} // namespace
} // namespace norla::test
