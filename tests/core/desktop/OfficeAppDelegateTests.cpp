#include "DesktopShellFixture.h"

#include "FakeKeyValueStore.h"
#include "InlineBackgroundExecutor.h"
#include "desktop/OfficeAppDelegate.h"
#include "desktop/PushNotifications.h"

namespace norla {
namespace {

    class OfficeAppDelegateTest : public test::DesktopShellFixture {
    protected:
        void SetUp() override
        {
            DesktopShellFixture::SetUp();
            makeShell(test::FakePluginLoader::Failure::none, false);
            delegate = OfficeAppDelegate::make(shell.get(), &push);
        }
        void TearDown() override
        {
            Seam<UserNotificationCenterDelegate>::install(nullptr);
            DesktopShellFixture::TearDown();
        }

        std::shared_ptr<test::FakeKeyValueStore> defaults = std::make_shared<test::FakeKeyValueStore>();
        PushNotifications push { { defaults, center, application,
            std::make_shared<test::InlineBackgroundExecutor>() } };
        std::shared_ptr<OfficeAppDelegate> delegate;
    };

    TEST_F(OfficeAppDelegateTest, LaunchingBecomesTheCentersDelegateAndDoesItsWorkOnTheMainThread)
    {
        EXPECT_TRUE(delegate->didFinishLaunching(Value(Value::Object { { "url", "/tasks/7" } })));
        delegate->didRegisterForRemoteNotificationsWithDeviceToken({ 0x12, 0xef });
        EXPECT_EQ(Seam<UserNotificationCenterDelegate>::find(), delegate);
        EXPECT_FALSE(shell->plugin() || defaults->string(PushNotifications::deviceTokenKey))
            << "nothing runs before the main thread does";

        runMain();
        EXPECT_TRUE(shell->plugin());
        EXPECT_EQ(application->remoteRegistrations, 1);
        EXPECT_EQ(defaults->string(PushNotifications::deviceTokenKey), "12ef");
        ASSERT_TRUE(push.pendingOpenURL());
        EXPECT_EQ(push.pendingOpenURL()->absoluteString, "https://office.norla.jp/tasks/7");
    }

    TEST_F(OfficeAppDelegateTest, NotificationsShowInFrontAndTapsOpenTheirAddressBeforeCompleting)
    {
        std::optional<std::uint32_t> options;
        delegate->willPresentNotification({}, [&options](std::uint32_t given) { options = given; });
        delegate->didFinishLaunching(Value("https://office.norla.jp/tasks"));
        runMain();
        EXPECT_EQ(options, OfficeAppDelegate::foregroundPresentationOptions);
        EXPECT_FALSE(push.pendingOpenURL()) << "a launch payload that is no dictionary";

        bool completed = false;
        delegate->didReceiveNotificationResponse(
            Value(Value::Object { { "url", "https://office.norla.jp/chat" } }), [this, &completed] {
                completed = true;
                EXPECT_TRUE(push.pendingOpenURL()) << "the address is handled before the completion";
            });
        runMain();
        EXPECT_TRUE(completed);
    }

} // namespace
} // namespace norla
