#include "TestEnvironment.h"

#include "app/GoMenu.h"
#include "app/MenuCommands.h"
#include "platform/NotificationCenter.h"
#include "web/OfficeNotifications.h"

#include <gtest/gtest.h>

#include <any>

namespace norla::test {
namespace {

    TEST(MenuCommandsTest, TheGoMenuOpensEachAreasPathWithSeparatorsBeforeMeetingNotesAndDatabases)
    {
        const auto& go = MenuCommands::groups().at(1);
        std::vector<std::string> afterSeparators;
        std::vector<MenuAction> actions;
        for (size_t index = 0; index < go.entries.size(); ++index) {
            if (const auto* command = std::get_if<MenuCommand>(&go.entries[index]))
                actions.push_back(command->action);
            else
                afterSeparators.push_back(std::get<MenuCommand>(go.entries.at(index + 1)).title);
        }
        EXPECT_EQ(afterSeparators, (std::vector<std::string> { "議事録", "データベース" }));
        std::vector<MenuAction> expected;
        for (const auto& item : GoMenu::items())
            expected.push_back({ std::string(officeOpenPath), item.path, {} });
        EXPECT_EQ(actions, expected);
    }

    TEST(MenuCommandsTest, TheSidebarCommandPostsItsScriptForTheFrontPageOnly)
    {
        TestEnvironment environment;
        auto& center = NotificationCenter::defaultCenter();
        std::vector<Notification> posted;
        auto token = center.addObserver(
            std::string(officeEvaluate), [&](const Notification& each) { posted.push_back(each); });
        std::get<MenuCommand>(MenuCommands::groups().at(0).entries.at(0)).action.perform();
        environment.main().runUntilIdle();
        center.removeObserver(token);
        ASSERT_EQ(posted.size(), 1u);
        EXPECT_EQ(std::any_cast<std::string>(posted[0].object), MenuCommands::toggleSidebarScript);
        EXPECT_EQ(posted[0].userInfo, Value(Value::Object { { std::string(frontOnlyKey), true } }));
    }

} // namespace
} // namespace norla::test
