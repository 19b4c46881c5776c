#include "app/MenuCommands.h"

#include "app/GoMenu.h"
#include "platform/NotificationCenter.h"
#include "web/OfficeNotifications.h"

namespace norla {

namespace {

    MenuGroup viewCommands()
    {
        MenuGroup group { MenuGroup::Placement::afterToolbar, {}, {} };
        group.entries.emplace_back(MenuCommand { "サイドバーを畳む", 'b',
            { std::string(officeEvaluate), MenuCommands::toggleSidebarScript,
                Value(Value::Object { { std::string(frontOnlyKey), true } }) } });
        group.entries.emplace_back(MenuCommand { "再読み込み", 'r', { std::string(officeReload), std::nullopt, {} } });
        return group;
    }

    // Separators stand before "議事録" and before "データベース".
    bool separatorBefore(size_t index) { return index == 4 || index == 7; }

    MenuGroup goMenu()
    {
        MenuGroup group { MenuGroup::Placement::ownMenu, "移動", {} };
        const auto& items = GoMenu::items();
        for (size_t index = 0; index < items.size(); ++index) {
            if (separatorBefore(index))
                group.entries.emplace_back(MenuSeparator {});
            const auto& item = items[index];
            group.entries.emplace_back(
                MenuCommand { item.label, item.key, { std::string(officeOpenPath), item.path, {} } });
        }
        return group;
    }

} // namespace

void MenuAction::perform() const
{
    std::any notificationObject;
    if (object)
        notificationObject = *object;
    NotificationCenter::defaultCenter().post(notificationName, std::move(notificationObject), userInfo);
}

const std::vector<MenuGroup>& MenuCommands::groups()
{
    static const std::vector<MenuGroup> list { viewCommands(), goMenu() };
    return list;
}

} // namespace norla
