#include "DesktopShellFixture.h"

#include "platform/SharedApplication.h"

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
            post(sceneDidEnterBackgroundNotification);
            recorder->recording = true;
            post(officeCaptureFailed, std::string("stream stopped"));
            EXPECT_TRUE(recorder->stopCompletions.empty()) << "a capture failure does not finish without the plug-in";
            recorder->recording = false;
        }
        EXPECT_TRUE(takeEvaluated().empty());
        EXPECT_EQ(environment.log().lines(), std::vector<std::string>(4, MacShell::pluginUnavailableLine));
    }

    TEST_F(MacShellTest, ALoadedPlugInsCallbacksReachTheMainThreadFromAnyThread)
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
    }

    TEST_F(MacShellTest, SceneEventsReachEveryPageAndACaptureFailureSavesTheRecording)
    {
        makeShell();
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
    }

    TEST_F(MacShellTest, AReleasedShellStopsObservingAndIgnoresLateCallbacks)
    {
        makeShell();
        auto watch = plugin().meetingWatch;
        shell.reset();
        watch("started", "後から");
        post(sceneDidEnterBackgroundNotification);
        EXPECT_TRUE(takeEvaluated().empty());
    }

} // namespace
} // namespace norla
