#include "DesktopShellFixture.h"

#include "platform/SharedApplication.h"

#include <thread>

namespace norla {
namespace {

    using test::FakePluginLoader;

    constexpr const char* hiddenScript = "window.dispatchEvent(new Event('norla:hidden'));";
    constexpr const char* shownScript = "window.dispatchEvent(new Event('norla:shown'));";

    class MacShellTest : public test::DesktopShellFixture {
    protected:
        void postSystem(std::string_view name)
        {
            NotificationCenter::defaultCenter().post(std::string(name));
            runMain();
        }
    };

    TEST_F(MacShellTest, AnyFailingLoadStepLogsOneLineAndLeavesTheShellWithoutPlugInOrObservers)
    {
        for (auto failure : { FakePluginLoader::Failure::noPlugInsFolder, FakePluginLoader::Failure::noBundle,
                 FakePluginLoader::Failure::loadFails, FakePluginLoader::Failure::noConformingClass }) {
            makeShell(failure);
            EXPECT_EQ(shell->bridge(), nullptr);
            postSystem(sceneDidEnterBackgroundNotification);
            postSystem(sceneWillEnterForegroundNotification);
            EXPECT_TRUE(takeEvaluated().empty());

            recorder->recording = true;
            NotificationCenter::defaultCenter().post(std::string(officeCaptureFailed), std::string("stream stopped"));
            runMain();
            EXPECT_TRUE(recorder->calls.empty()) << "a capture failure does not finish without the plug-in";
            recorder->recording = false;
        }
        auto lines = environment.log().lines();
        EXPECT_EQ(lines, std::vector<std::string>(4, MacShell::bridgeUnavailableLine));
    }

    TEST_F(MacShellTest, WithoutAnyLoaderThereIsNoPlugIn)
    {
        MacShell::Environment bare;
        bare.timerQueue = timers;
        shell = MacShell::make(std::move(bare));
        shell->installBridge();
        EXPECT_EQ(shell->bridge(), nullptr);
        EXPECT_TRUE(environment.log().contains("ZivadoDidOrizir を読み込めません"));
    }

    TEST_F(MacShellTest, ALoadedPlugInIsInstalledInOrderFromTheBuiltInPlugInsFolder)
    {
        makeShell();
        EXPECT_EQ(loader->requestedBundles,
            (std::vector<std::filesystem::path> {
                "/Applications/NorlaOffice.app/Contents/PlugIns/ZivadoDidOrizir.bundle" }));
        EXPECT_EQ(shell->bridge(), loader->plugin);
        EXPECT_EQ(plugin().takeCalls(),
            (std::vector<std::string> { "install", "setMeetingPopupHandler", "startMeetingWatch" }));
        EXPECT_TRUE(environment.log().lines().empty());
    }

    TEST_F(MacShellTest, ThePlugInsCallbacksOpenWindowsReloadAndReachTheMainThreadFromAnyThread)
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
        postSystem(sceneDidEnterBackgroundNotification);
        postSystem(sceneDidEnterBackgroundNotification);
        postSystem(sceneWillEnterForegroundNotification);
        EXPECT_EQ(takeEvaluated(), (std::vector<std::string> { hiddenScript, hiddenScript, shownScript }));

        recorder->recording = true;
        NotificationCenter::defaultCenter().post(std::string(officeCaptureFailed), std::string("stream stopped"));
        runMain();
        EXPECT_EQ(recorder->calls, (std::vector<std::string> { "stop" }));
        recorder->completeStop(std::string("/tmp/meeting.m4a"));
        runMain();
        EXPECT_EQ(center->added.size(), 1u);
    }

    TEST_F(MacShellTest, TheRecordingFlagIsPostedEvenWhenNothingEverRecorded)
    {
        makeShell(FakePluginLoader::Failure::noBundle);
        shell->setRecordingActive(false);
        shell->setRecordingActive(true);
        EXPECT_EQ(takeEvaluated(),
            (std::vector<std::string> {
                "window.__norlaRecordingActive = false;", "window.__norlaRecordingActive = true;" }));
    }

    TEST_F(MacShellTest, AReleasedShellStopsObservingAndIgnoresLateCallbacks)
    {
        makeShell();
        auto watch = plugin().meetingWatch;
        shell.reset();
        watch("started", "後から");
        postSystem(sceneDidEnterBackgroundNotification);
        EXPECT_TRUE(takeEvaluated().empty());
    }

} // namespace
} // namespace norla
