#include "DesktopShellFixture.h"

#include "desktop/BadgeCounts.h"

#include <limits>

namespace norla {
namespace {

    constexpr auto maximum = std::numeric_limits<std::int64_t>::max();

    TEST(BadgeCountsTest, CountersReadOnlyNumbersNeverNegativeAndCappedAndTheAttentionAndMenuBarSumsSaturate)
    {
        struct Case {
            Value given;
            std::int64_t expected;
        } cases[] = { { 3, 3 }, { 2.9, 2 }, { "7", 0 }, { -4, 0 }, { -0.5, 0 }, { nullptr, 0 }, { true, 0 },
            { Value(Value::Object {}), 0 }, { 1e300, maximum }, { std::numeric_limits<double>::infinity(), maximum },
            { std::numeric_limits<double>::quiet_NaN(), 0 } };
        for (const auto& row : cases) {
            SCOPED_TRACE(row.given.toJSON());
            EXPECT_EQ(BadgeCounts(Value::Object { { "approvals", row.given } }).approvals, row.expected);
        }
        EXPECT_EQ(BadgeCounts(Value::Object { { "unknown", 9 } }), BadgeCounts());

        // Attention needs both as numbers; the menu-bar sum leaves out chat mentions and direct messages.
        EXPECT_EQ(BadgeCounts(Value::Object { { "notifications", 2 }, { "chatUnread", 3 } }).attention, 5);
        EXPECT_EQ(BadgeCounts(Value::Object { { "notifications", -2 }, { "chatUnread", 3 } }).attention, 3);
        EXPECT_FALSE(BadgeCounts(Value::Object { { "chatUnread", 3 } }).attention);
        EXPECT_FALSE(BadgeCounts(Value::Object { { "notifications", 2 }, { "chatUnread", "3" } }).attention);
        EXPECT_EQ(
            BadgeCounts(Value::Object { { "notifications", maximum }, { "chatUnread", maximum } }).attention, maximum);

        BadgeCounts counts(
            Value::Object { { "salesToday", 1 }, { "outbox", 2 }, { "approvals", 3 }, { "todayFocus", 4 },
                { "companyVerify", 5 }, { "chatUnread", 6 }, { "chatMentions", 100 }, { "chatDirect", 1000 } });
        EXPECT_EQ(counts.menuBarTitleSum(), 21);
        counts.outbox = maximum;
        EXPECT_EQ(counts.menuBarTitleSum(), maximum);
    }

    class BadgeTest : public test::DesktopShellFixture {
    protected:
        void SetUp() override { makeShell(); }
        void apply(Value::Object counts) { shell->applyBadges(BadgeCounts(counts)); }
    };

    TEST_F(BadgeTest, TheTitleAndBadgeFollowEachPayloadAndOnlyGrowthOverThePreviousOneNotifies)
    {
        apply({ { "salesToday", 40 }, { "approvals", 2 }, { "chatDirect", 50 }, { "notifications", 2 },
            { "chatUnread", 3 } });
        EXPECT_EQ(center->badgeCount, 5);
        EXPECT_TRUE(center->added.empty()) << "the first payload never notifies";
        apply({});
        EXPECT_EQ(plugin().takeCalls(), (std::vector<std::string> { "title 45", "title nil" }));
        EXPECT_EQ(center->badgeCount, 5) << "a missing attention keeps the badge";

        apply({ { "approvals", 2 } }); // grown over the previous payload, not over the first
        apply({ { "approvals", 2 } });
        ASSERT_EQ(center->added.size(), 1u);
        EXPECT_EQ(center->added[0].content.title, "Vantorel");
        EXPECT_EQ(center->added[0].content.body, "承認待ち 2件（+2）");
        EXPECT_FALSE(center->added[0].content.sound);

        // Several growths share one notification; direct messages bring the sound; falls are left out.
        apply({ { "outbox", 2 }, { "approvals", 1 }, { "chatDirect", 4 } });
        ASSERT_EQ(center->added.size(), 2u);
        EXPECT_EQ(center->added[1].content.body, "送信承認待ち 2件（+2） / DM 4件（+4）");
        EXPECT_TRUE(center->added[1].content.sound);
        EXPECT_NE(center->added[0].identifier, center->added[1].identifier);
    }

    TEST_F(BadgeTest, PageNotificationsReplaceByTagAndCarryTheirSound)
    {
        auto& notifications = shell->notifications();
        notifications.postPageNotification("会議", "10分後", "meeting", true);
        notifications.postPageNotification("会議", "5分後", "meeting", false);
        notifications.postPageNotification("お知らせ", std::nullopt, std::nullopt, true);
        notifications.postPageNotification("お知らせ", std::nullopt, std::nullopt, true);
        EXPECT_EQ(center->delivered.size(), 3u);
        auto& tagged = center->delivered.at("web-meeting");
        EXPECT_EQ(tagged.content.body, "5分後");
        EXPECT_FALSE(tagged.content.sound);
        EXPECT_FALSE(center->added[2].content.body);
        EXPECT_TRUE(center->added[2].content.sound);
    }

    TEST_F(BadgeTest, ThePermissionWordFollowsTheSettingsAndAsksOnlyWhenRequested)
    {
        std::vector<std::string> words;
        auto collect = [&words](std::string word) { words.push_back(std::move(word)); };
        center->userAnswer = NotificationAuthorizationStatus::denied;
        shell->notifications().notificationPermission(false, collect);
        EXPECT_TRUE(center->authorizationRequests.empty());
        shell->notifications().notificationPermission(true, collect);
        ASSERT_EQ(center->authorizationRequests.size(), 1u);
        auto& asked = center->authorizationRequests[0];
        EXPECT_TRUE(asked.alert && asked.sound && asked.badge);
        for (auto status :
            { NotificationAuthorizationStatus::provisional, NotificationAuthorizationStatus::ephemeral }) {
            center->status = status;
            shell->notifications().notificationPermission(false, collect);
        }
        EXPECT_EQ(words, (std::vector<std::string> { "default", "denied", "granted", "granted" }));
    }

} // namespace
} // namespace norla
