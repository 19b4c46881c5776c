#include "TestEnvironment.h"
#include "platform/GioNotificationCenter.h"

#include <gtest/gtest.h>

namespace norla {
namespace {

    // Showing them needs a registered application and a notification server: without, no crash but a line.
    TEST(GioNotificationCenterTest, WithoutARegisteredApplicationNotificationsAndBadgesAreDroppedWithALine)
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
