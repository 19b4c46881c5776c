#include "DesktopShellFixture.h"

#include "desktop/BadgeCounts.h"

#include <limits>

namespace norla {
namespace {

    using test::FakePluginLoader;

    constexpr auto maximum = std::numeric_limits<std::int64_t>::max();

    TEST(BadgeCountsTest, ReadsNumbersOnlyAndNeverNegatives)
    {
        Value::Object counts { { "salesToday", 3 }, { "outbox", "7" }, { "approvals", -4 }, { "todayFocus", 2.9 },
            { "companyVerify", nullptr }, { "chatUnread", Value(Value::Object {}) }, { "chatMentions", -0.5 },
            { "chatDirect", true }, { "unknown", 9 } };
        BadgeCounts decoded(counts);
        EXPECT_EQ(decoded.salesToday, 3);
        EXPECT_EQ(decoded.outbox, 0) << "a string of digits is not a number";
        EXPECT_EQ(decoded.approvals, 0);
        EXPECT_EQ(decoded.todayFocus, 2);
        EXPECT_EQ(decoded.companyVerify, 0);
        EXPECT_EQ(decoded.chatUnread, 0);
        EXPECT_EQ(decoded.chatMentions, 0);
        EXPECT_EQ(decoded.chatDirect, 0);
        EXPECT_FALSE(decoded.attention) << "chatUnread is not a number";
        EXPECT_EQ(BadgeCounts(Value::Object {}), BadgeCounts());
    }

    TEST(BadgeCountsTest, AttentionNeedsBothNotificationsAndUnreadAsNumbers)
    {
        EXPECT_EQ(BadgeCounts(Value::Object { { "notifications", 2 }, { "chatUnread", 3 } }).attention, 5);
        EXPECT_EQ(BadgeCounts(Value::Object { { "notifications", -2 }, { "chatUnread", 3 } }).attention, 3);
        EXPECT_FALSE(BadgeCounts(Value::Object { { "chatUnread", 3 } }).attention);
        EXPECT_FALSE(BadgeCounts(Value::Object { { "notifications", 2 }, { "chatUnread", "3" } }).attention);
    }

    TEST(BadgeCountsTest, AbsurdCountsAreCappedInsteadOfOverflowing)
    {
        BadgeCounts huge(Value::Object { { "notifications", maximum }, { "chatUnread", maximum },
            { "salesToday", 1e300 }, { "outbox", maximum }, { "approvals", std::numeric_limits<double>::infinity() } });
        EXPECT_EQ(huge.attention, maximum);
        EXPECT_EQ(huge.salesToday, maximum);
        EXPECT_EQ(huge.approvals, maximum);
        EXPECT_EQ(huge.menuBarTitleSum(), maximum);
        EXPECT_EQ(BadgeCounts(Value::Object { { "outbox", std::numeric_limits<double>::quiet_NaN() } }).outbox, 0);
    }

    TEST(BadgeCountsTest, TheMenuBarSumLeavesOutMentionsAndDirectMessages)
    {
        BadgeCounts counts(
            Value::Object { { "salesToday", 1 }, { "outbox", 2 }, { "approvals", 3 }, { "todayFocus", 4 },
                { "companyVerify", 5 }, { "chatUnread", 6 }, { "chatMentions", 100 }, { "chatDirect", 1000 } });
        EXPECT_EQ(counts.menuBarTitleSum(), 21);
    }

    TEST(BadgeCountsTest, IncreaseLinesListDirectMessagesBeforeMentionsAndSkipFalls)
    {
        BadgeCounts before;
        before.outbox = 1;
        before.chatUnread = 3;
        before.approvals = 9;
        BadgeCounts after = before;
        after.outbox = 2;
        after.chatUnread = 5;
        after.approvals = 1;
        after.chatMentions = 1;
        after.chatDirect = 4;
        after.attention = 99;
        EXPECT_EQ(badgeIncreaseLines(before, after),
            (std::vector<BadgeIncreaseLine> {
                { "送信承認待ち 2件（+1）", false },
                { "未読メッセージ 5件（+2）", false },
                { "DM 4件（+4）", true },
                { "自分宛メンション 1件（+1）", true },
            }));
        EXPECT_TRUE(badgeIncreaseLines(after, after).empty());
    }

    class BadgeTest : public test::DesktopShellFixture {
    protected:
        void apply(Value::Object counts) { shell->applyBadges(BadgeCounts(counts)); }
    };

    TEST_F(BadgeTest, TheFirstPayloadSetsTitleAndBadgeButNeverNotifies)
    {
        makeShell();
        plugin().takeCalls();
        apply({ { "salesToday", 40 }, { "chatDirect", 50 }, { "notifications", 2 }, { "chatUnread", 3 } });
        EXPECT_EQ(plugin().takeCalls(), (std::vector<std::string> { "title 43" }));
        EXPECT_EQ(center->badgeCount, 5);
        EXPECT_TRUE(center->added.empty());
        ASSERT_TRUE(shell->last());
        EXPECT_EQ(shell->last()->salesToday, 40);
    }

    TEST_F(BadgeTest, AZeroSumClearsTheTitleAndAMissingAttentionKeepsTheBadge)
    {
        makeShell();
        plugin().takeCalls();
        apply({ { "notifications", 1 }, { "chatUnread", 1 } });
        apply({ { "chatMentions", 5 } });
        EXPECT_EQ(plugin().takeCalls(), (std::vector<std::string> { "title 1", "title nil" }));
        EXPECT_EQ(center->badgeCount, 2);
    }

    TEST_F(BadgeTest, GrowingCountersNotifyWithSoundOnlyForMentionsAndDirectMessages)
    {
        makeShell();
        apply({ { "outbox", 1 } });
        apply({ { "outbox", 2 }, { "chatDirect", 1 } });
        apply({ { "outbox", 3 }, { "chatDirect", 1 } });
        ASSERT_EQ(center->added.size(), 2u);
        auto& first = center->added[0];
        EXPECT_EQ(first.content.title, "Vantorel");
        EXPECT_EQ(first.content.body, "送信承認待ち 2件（+1） / DM 1件（+1）");
        EXPECT_TRUE(first.content.sound);
        EXPECT_EQ(center->added[1].content.body, "送信承認待ち 3件（+1）");
        EXPECT_FALSE(center->added[1].content.sound);
        EXPECT_NE(first.identifier, center->added[1].identifier);
    }

    TEST_F(BadgeTest, OnlyTheImmediatelyPreviousPayloadIsCompared)
    {
        makeShell(FakePluginLoader::Failure::noBundle);
        apply({ { "approvals", 2 } });
        apply({ { "approvals", 1 } });
        apply({ { "approvals", 2 } });
        apply({ { "approvals", 2 } });
        ASSERT_EQ(center->added.size(), 1u);
        EXPECT_EQ(center->added[0].content.body, "承認待ち 2件（+1）");
    }

    TEST_F(BadgeTest, PageNotificationsReplaceByTagAndCarryTheirSound)
    {
        makeShell();
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
        EXPECT_TRUE(center->added[2].content.userInfo.isNull());
    }

    TEST_F(BadgeTest, ThePermissionWordFollowsTheSettingsAndAsksOnlyWhenRequested)
    {
        makeShell();
        std::vector<std::string> words;
        auto collect = [&words](std::string word) { words.push_back(std::move(word)); };
        center->userAnswer = NotificationAuthorizationStatus::denied;
        shell->notifications().notificationPermission(false, collect);
        EXPECT_TRUE(center->authorizationRequests.empty());
        shell->notifications().notificationPermission(true, collect);
        ASSERT_EQ(center->authorizationRequests.size(), 1u);
        EXPECT_TRUE(center->authorizationRequests[0].alert && center->authorizationRequests[0].sound
            && center->authorizationRequests[0].badge);
        center->status = NotificationAuthorizationStatus::provisional;
        shell->notifications().notificationPermission(false, collect);
        center->status = NotificationAuthorizationStatus::ephemeral;
        shell->notifications().notificationPermission(false, collect);
        EXPECT_EQ(words, (std::vector<std::string> { "default", "denied", "granted", "granted" }));
    }

} // namespace
} // namespace norla
