#include "DesktopShellFixture.h"

#include "desktop/OfficeAppDelegate.h"

#include <thread>

namespace norla {
namespace {

    using test::FakePluginLoader;

    class MacShellTest : public test::DesktopShellFixture {
    protected:
        void post(std::string_view name, std::any object = {})
        {
            NotificationCenter::defaultCenter().post(std::string(name), std::move(object));
            runMain();
        }
    };

    TEST_F(MacShellTest, AnyFailingLoadStepLogsOneLineAndLeavesTheShellWithoutPlugInOrObservers)
    {
        for (auto failure : { FakePluginLoader::Failure::noPlugInsFolder, FakePluginLoader::Failure::noBundle,
                 FakePluginLoader::Failure::loadFails, FakePluginLoader::Failure::noConformingClass }) {
            makeShell(failure);
            EXPECT_EQ(shell->plugin(), nullptr);
        }
        EXPECT_EQ(environment.log().lines(), std::vector<std::string>(4, MacShell::pluginUnavailableLine));
        post(sceneDidEnterBackgroundNotification);
        recorder->recording = true;
        post(officeCaptureFailed, std::string("stream stopped"));
        EXPECT_TRUE(recorder->stopCompletions.empty()) << "a capture failure does not finish without the plug-in";
        EXPECT_TRUE(takeEvaluated().empty());

        // Without the plug-in the session still follows the page, and saving still notifies and opens.
        shell->recordingStarted();
        EXPECT_TRUE(shell->hasLimitTimer());
        shell->finishRecording();
        recorder->completeStop();
        runMain();
        EXPECT_EQ(center->added.size(), 1u);
        EXPECT_EQ(
            opened, (std::vector<std::string> { "https://office.norla.jp/meeting-notes/record?mode=desktop-app" }));
        EXPECT_EQ(takeEvaluated(),
            (std::vector<std::string> {
                "window.__norlaRecordingActive = true;", "window.__norlaRecordingActive = false;" }));
    }

    TEST_F(MacShellTest, PlugInCallbacksFromAnyThreadAndSceneEventsReachTheMainThreadUntilTheShellIsReleased)
    {
        makeShell();
        std::thread([this] {
            plugin().openWindow();
            plugin().reload();
            plugin().meetingWatch("started", "別スレッド");
        }).join();
        EXPECT_EQ(application->newSceneRequests, 0) << "nothing runs on the plug-in's thread";
        runMain();
        EXPECT_EQ(application->newSceneRequests, 1);
        EXPECT_EQ(reloads, 1);
        EXPECT_EQ(shell->session().label, "別スレッド");

        post(sceneDidEnterBackgroundNotification);
        post(sceneWillEnterForegroundNotification);
        EXPECT_EQ(takeEvaluated(),
            (std::vector<std::string> { "window.dispatchEvent(new Event('norla:hidden'));",
                "window.dispatchEvent(new Event('norla:shown'));" }));

        recorder->recording = true;
        post(officeCaptureFailed, std::string("stream stopped"));
        ASSERT_EQ(recorder->stopCompletions.size(), 1u);
        recorder->completeStop();
        runMain();
        EXPECT_EQ(center->added.size(), 1u);

        // A released shell stops observing and ignores late callbacks.
        takeEvaluated();
        auto watch = plugin().meetingWatch;
        shell.reset();
        watch("started", "後から");
        post(sceneDidEnterBackgroundNotification);
        EXPECT_TRUE(takeEvaluated().empty());
    }

    TEST_F(MacShellTest, LaunchingBecomesTheCentersDelegateAndDoesItsWorkOnTheMainThread)
    {
        makeShell(FakePluginLoader::Failure::none, false);
        auto delegate = OfficeAppDelegate::make(shell.get(), &push);
        EXPECT_TRUE(delegate->didFinishLaunching(Value(Value::Object { { "url", "/tasks/7" } })));
        delegate->didRegisterForRemoteNotificationsWithDeviceToken({ 0x12, 0xef });
        EXPECT_EQ(Seam<UserNotificationCenterDelegate>::find(), delegate);
        Seam<UserNotificationCenterDelegate>::install(nullptr);
        EXPECT_FALSE(shell->plugin() || defaults->string(PushNotifications::deviceTokenKey))
            << "nothing runs before the main thread does";
        runMain();
        EXPECT_TRUE(shell->plugin());
        EXPECT_EQ(application->remoteRegistrations, 1);
        EXPECT_EQ(defaults->string(PushNotifications::deviceTokenKey), "12ef");
        ASSERT_TRUE(push.pendingOpenURL());
        EXPECT_EQ(push.takePendingOpenURL()->absoluteString, "https://office.norla.jp/tasks/7");

        // Notifications show in front; a tap opens its address before the system's completion runs.
        std::optional<std::uint32_t> options;
        delegate->willPresentNotification({}, [&options](std::uint32_t given) { options = given; });
        runMain();
        EXPECT_EQ(options, OfficeAppDelegate::foregroundPresentationOptions);
        bool completed = false;
        delegate->didReceiveNotificationResponse(
            Value(Value::Object { { "url", "https://office.norla.jp/chat" } }), [this, &completed] {
                completed = true;
                EXPECT_EQ(push.pendingOpenURL()->absoluteString, "https://office.norla.jp/chat");
            });
        runMain();
        EXPECT_TRUE(completed);
    }

} // namespace
} // namespace norla
