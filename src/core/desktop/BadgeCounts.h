#pragma once

#include "platform/Value.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace norla {

// The page's badge counters, decoded from the `counts` object of the "badges" command.
struct BadgeCounts {
    std::int64_t salesToday = 0;
    std::int64_t outbox = 0;
    std::int64_t approvals = 0;
    std::int64_t todayFocus = 0;
    std::int64_t companyVerify = 0;
    std::int64_t chatUnread = 0;
    std::int64_t chatMentions = 0;
    std::int64_t chatDirect = 0;
    // The application badge: "notifications" plus "chatUnread", present only when both are numbers.
    std::optional<std::int64_t> attention;

    BadgeCounts() = default;
    // Counters that are missing, not numbers or negative read as 0; other keys are ignored.
    explicit BadgeCounts(const Value::Object& dictionary);

    // The six counters shown next to the menu-bar item (not mentions or direct messages). Sums beyond the
    // 64-bit range stop at its maximum.
    std::int64_t menuBarTitleSum() const;

    bool operator==(const BadgeCounts&) const = default;
};

// One line of the increase notification, and whether its counter asks for a sound.
struct BadgeIncreaseLine {
    std::string text;
    bool withSound = false;

    bool operator==(const BadgeIncreaseLine&) const = default;
};

// The counters that grew from `previous` to `current`, in the notification's own order.
std::vector<BadgeIncreaseLine> badgeIncreaseLines(const BadgeCounts& previous, const BadgeCounts& current);

} // namespace norla
