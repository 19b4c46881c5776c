#include "TestEnvironment.h"
#include "foundation/GioNotificationCenter.h"

#include <gtest/gtest.h>

namespace norla {
namespace {

    TEST(GioNotificationCenterTests, AuthorizationIsGrantedLaterOnTheMainThread)
    {
        test::TestEnvironment environment;
        GioNotificationCenter center("jp.norla.office");
        std::optional<bool> granted;
        std::optional<NotificationAuthorizationStatus> status;
        center.requestAuthorization(
            { .alert = true, .sound = true, .badge = true }, [&](bool answer, std::optional<std::string> error) {
                granted = answer;
                EXPECT_EQ(error, std::nullopt);
            });
        center.notificationSettings([&](NotificationAuthorizationStatus answer) { status = answer; });
        EXPECT_EQ(granted, std::nullopt);
        environment.main().runUntilIdle();
        EXPECT_EQ(granted, true);
        EXPECT_EQ(status, NotificationAuthorizationStatus::authorized);
    }

    TEST(GioNotificationCenterTests, WithoutARegisteredApplicationNotificationsAndBadgesAreDroppedWithALine)
    {
        test::TestEnvironment environment;
        GioNotificationCenter center("jp.norla.office");
        center.add({ .identifier = "web-chat",
            .content = { .title = "新着", .body = "本文", .sound = true, .userInfo = {} } });
        center.setBadgeCount(5);
        EXPECT_TRUE(environment.log().contains("GioNotificationCenter: no registered application"));
        EXPECT_TRUE(environment.log().contains("GioNotificationCenter: no session bus"));
    }

} // namespace
} // namespace norla
