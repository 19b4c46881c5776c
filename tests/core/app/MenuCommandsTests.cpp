#include "TestEnvironment.h"

#include "app/GoMenu.h"
#include "app/MenuCommands.h"
#include "platform/NotificationCenter.h"
#include "web/OfficeNotifications.h"

#include <gtest/gtest.h>

#include <any>

namespace norla::test {
namespace {

    // Each delivery of the menu's notifications, as "name object userInfo".
    class MenuCommandsTest : public ::testing::Test {
    protected:
        MenuCommandsTest()
        {
            for (auto name : { officeEvaluate, officeReload, officeOpenPath }) {
                m_tokens.push_back(NotificationCenter::defaultCenter().addObserver(
                    std::string(name), [this](const Notification& notification) {
                        const auto* text = std::any_cast<std::string>(&notification.object);
                        deliveries.push_back(
                            notification.name + " " + (text ? *text : "-") + " " + notification.userInfo.toJSON());
                    }));
            }
        }
        ~MenuCommandsTest() override
        {
            for (const auto& token : m_tokens)
                NotificationCenter::defaultCenter().removeObserver(token);
        }
        std::vector<std::string> perform(const MenuGroup& group)
        {
            for (const auto& entry : group.entries) {
                if (const auto* command = std::get_if<MenuCommand>(&entry))
                    command->action.perform();
            }
            environment.main().runUntilIdle();
            return std::exchange(deliveries, {});
        }

        TestEnvironment environment;
        std::vector<std::string> deliveries;

    private:
        std::vector<ObserverToken> m_tokens;
    };

    TEST_F(MenuCommandsTest, TheGoMenuOpensEachAreasPathWithSeparatorsBeforeMeetingNotesAndDatabases)
    {
        const auto& go = MenuCommands::groups().at(1);
        std::vector<std::string> separatorsBefore;
        for (size_t index = 1; index < go.entries.size(); ++index) {
            if (std::holds_alternative<MenuSeparator>(go.entries[index - 1]))
                separatorsBefore.push_back(std::get<MenuCommand>(go.entries[index]).title);
        }
        EXPECT_EQ(separatorsBefore, (std::vector<std::string> { "議事録", "データベース" }));

        std::vector<std::string> expected;
        for (const auto& item : GoMenu::items())
            expected.push_back(std::string(officeOpenPath) + " " + item.path + " null");
        EXPECT_EQ(perform(go), expected);
    }

    TEST_F(MenuCommandsTest, TheSidebarCommandReachesTheFrontPageOnlyAndReloadReloads)
    {
        EXPECT_EQ(perform(MenuCommands::groups().at(0)),
            (std::vector<std::string> {
                std::string(officeEvaluate) + " " + MenuCommands::toggleSidebarScript + " {\"frontOnly\":true}",
                std::string(officeReload) + " - null" }));
    }

} // namespace
} // namespace norla::test
