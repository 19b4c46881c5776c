#include "desktop/BadgeCounts.h"

#include <array>
#include <cmath>
#include <limits>

namespace norla {

namespace {

    constexpr auto maximum = std::numeric_limits<std::int64_t>::max();

    // Only numbers count; their integer value, with negatives (and NaN) as 0 and huge doubles capped.
    std::optional<std::int64_t> counterValue(const Value::Object& dictionary, const char* key)
    {
        auto found = dictionary.find(key);
        if (found == dictionary.end() || !found->second.isNumber())
            return std::nullopt;
        if (auto integer = found->second.asInteger())
            return std::max<std::int64_t>(*integer, 0);
        double number = *found->second.asDouble();
        if (!(number > 0))
            return 0;
        if (number >= 9.2e18)
            return maximum;
        return static_cast<std::int64_t>(std::trunc(number));
    }

    std::int64_t counter(const Value::Object& dictionary, const char* key)
    {
        return counterValue(dictionary, key).value_or(0);
    }

    // Both operands are never negative.
    std::int64_t cappedSum(std::int64_t a, std::int64_t b) { return a > maximum - b ? maximum : a + b; }

    struct CounterDescription {
        std::int64_t BadgeCounts::*field;
        const char* label;
        bool withSound;
    };

    // The order in which increases are listed: direct messages before mentions.
    constexpr std::array<CounterDescription, 8> increaseOrder { {
        { &BadgeCounts::salesToday, "今日の凸リスト", false },
        { &BadgeCounts::outbox, "送信承認待ち", false },
        { &BadgeCounts::approvals, "承認待ち", false },
        { &BadgeCounts::todayFocus, "今日のフォーカス", false },
        { &BadgeCounts::companyVerify, "確認待ちの企業", false },
        { &BadgeCounts::chatUnread, "未読メッセージ", false },
        { &BadgeCounts::chatDirect, "DM", true },
        { &BadgeCounts::chatMentions, "自分宛メンション", true },
    } };

} // namespace

BadgeCounts::BadgeCounts(const Value::Object& dictionary)
    : salesToday(counter(dictionary, "salesToday"))
    , outbox(counter(dictionary, "outbox"))
    , approvals(counter(dictionary, "approvals"))
    , todayFocus(counter(dictionary, "todayFocus"))
    , companyVerify(counter(dictionary, "companyVerify"))
    , chatUnread(counter(dictionary, "chatUnread"))
    , chatMentions(counter(dictionary, "chatMentions"))
    , chatDirect(counter(dictionary, "chatDirect"))
{
    auto notifications = counterValue(dictionary, "notifications");
    auto unread = counterValue(dictionary, "chatUnread");
    if (notifications && unread)
        attention = cappedSum(*notifications, *unread);
}

std::int64_t BadgeCounts::menuBarTitleSum() const
{
    std::int64_t sum = 0;
    for (auto value : { salesToday, outbox, approvals, todayFocus, companyVerify, chatUnread })
        sum = cappedSum(sum, std::max<std::int64_t>(value, 0));
    return sum;
}

std::vector<BadgeIncreaseLine> badgeIncreaseLines(const BadgeCounts& previous, const BadgeCounts& current)
{
    std::vector<BadgeIncreaseLine> lines;
    for (auto& description : increaseOrder) {
        auto before = previous.*description.field;
        auto after = current.*description.field;
        if (after <= before)
            continue;
        // Counters are never negative, so the difference fits.
        auto text = std::string(description.label) + " " + std::to_string(after) + "件（+"
            + std::to_string(after - before) + "）";
        lines.push_back({ std::move(text), description.withSound });
    }
    return lines;
}

} // namespace norla
