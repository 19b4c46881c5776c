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

    TEST_F(OfficeAppDelegateTest, LaunchingBecomesTheCentersDelegateAndDoesItsWorkOnTheMainThreadInOrder)
    {
        EXPECT_TRUE(delegate->didFinishLaunching(Value(Value::Object { { "url", "/tasks/7" } })));
        EXPECT_EQ(Seam<UserNotificationCenterDelegate>::find(), delegate);
        EXPECT_FALSE(shell->bridge()) << "nothing runs before the main thread does";

        runMain();
        EXPECT_TRUE(shell->bridge());
        EXPECT_EQ(center->authorizationRequests.size(), 1u);
        EXPECT_EQ(application->remoteRegistrations, 1);
        ASSERT_TRUE(push.pendingOpenURL());
        EXPECT_EQ(push.pendingOpenURL()->absoluteString, "https://office.norla.jp/tasks/7");
    }

    TEST_F(OfficeAppDelegateTest, ALaunchPayloadThatIsNoDictionaryOpensNothing)
    {
        delegate->didFinishLaunching(Value("https://office.norla.jp/tasks"));
        runMain();
        EXPECT_FALSE(push.pendingOpenURL());
    }

    TEST_F(OfficeAppDelegateTest, TokensAreStoredOnTheMainThread)
    {
        delegate->didRegisterForRemoteNotificationsWithDeviceToken({ 0x12, 0xef });
        EXPECT_FALSE(defaults->string(PushNotifications::deviceTokenKey));
        runMain();
        EXPECT_EQ(defaults->string(PushNotifications::deviceTokenKey), "12ef");
    }

    TEST_F(OfficeAppDelegateTest, NotificationsShowInFrontWithSoundListAndBannerAndTapsOpenTheirAddress)
    {
        std::optional<std::uint32_t> options;
        delegate->willPresentNotification({}, [&options](std::uint32_t given) { options = given; });
        runMain();
        EXPECT_EQ(options, 26u);

        bool completed = false;
        delegate->didReceiveNotificationResponse(
            Value(Value::Object { { "url", "https://office.norla.jp/chat" } }), [this, &completed] {
                completed = true;
                EXPECT_TRUE(push.pendingOpenURL()) << "the address is handled before the completion";
            });
        runMain();
        EXPECT_TRUE(completed);

        push.clearPendingOpenURL();
        delegate->didReceiveNotificationResponse(Value(Value::Object {}), [] {});
        runMain();
        EXPECT_FALSE(push.pendingOpenURL());
    }

} // namespace
} // namespace norla
