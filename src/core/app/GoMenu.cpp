#include "app/GoMenu.h"

namespace norla {

const std::vector<GoMenu::Item>& GoMenu::items()
{
    static const std::vector<Item> list {
        { "メッセージ", "/chat", '1' },
        { "タスク一覧", "/tasks", '2' },
        { "カレンダー", "/calendar", '3' },
        { "AI", "/agent", '4' },
        { "議事録", "/meeting-notes", '5' },
        { "社内ページ", "/pages", '6' },
        { "スライド", "/decks", '7' },
        { "データベース", "/databases", std::nullopt },
        { "決める", "/decisions", std::nullopt },
        { "取引先", "/crm", std::nullopt },
    };
    return list;
}

} // namespace norla
