#pragma once

#include "desktop/MeetingSessionRecorder.h"
#include "desktop/PluginLoader.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace norla::test {

// The menu-bar plug-in: records every call as a line ("show recording 会議 -", "hide", "title 5", …)
// and keeps the callbacks the application handed over so that tests can press buttons and send events.
class FakeMenuBarPlugin final : public ZivadoDidOrizirProtocol {
public:
    void installWithOpenWindow(Callback openWindowCallback, Callback reloadCallback) override
    {
        calls.emplace_back("install");
        openWindow = std::move(openWindowCallback);
        reload = std::move(reloadCallback);
    }
    void setBadgeTitle(std::optional<std::string> title) override { calls.push_back("title " + title.value_or("nil")); }
    void toggleWindow() override { calls.emplace_back("toggleWindow"); }
    void showWindow() override { calls.emplace_back("showWindow"); }
    void startMeetingWatch(MeetingWatch watch) override
    {
        calls.emplace_back("startMeetingWatch");
        meetingWatch = std::move(watch);
    }
    bool requestScreenCaptureAccess() override
    {
        calls.emplace_back("requestScreenCaptureAccess");
        return grantsScreenCapture;
    }
    void showMeetingPopupWithPhase(std::string phase, std::string label, std::optional<std::string> message) override
    {
        calls.push_back("show " + phase + " " + label + " " + message.value_or("-"));
        popupVisible = true;
    }
    void hideMeetingPopup() override
    {
        calls.emplace_back("hide");
        popupVisible = false;
    }
    bool meetingPopupVisible() const override { return popupVisible; }
    void setMeetingPopupHandler(PopupHandler handler) override
    {
        calls.emplace_back("setMeetingPopupHandler");
        popupHandler = std::move(handler);
    }

    // The calls since the last take, cleared.
    std::vector<std::string> takeCalls() { return std::exchange(calls, {}); }

    std::vector<std::string> calls;
    bool popupVisible = false;
    bool grantsScreenCapture = false;
    Callback openWindow;
    Callback reload;
    MeetingWatch meetingWatch;
    PopupHandler popupHandler;
};

// Finds the plug-in, or fails at the step the test chooses.
class FakePluginLoader final : public PluginLoader {
public:
    enum class Failure { none, noPlugInsFolder, noBundle, loadFails, noConformingClass };

    explicit FakePluginLoader(Failure failingStep = Failure::none)
        : failure(failingStep)
    {
    }

    std::optional<std::filesystem::path> builtInPlugInsPath() const override
    {
        if (failure == Failure::noPlugInsFolder)
            return std::nullopt;
        return std::filesystem::path("/Applications/NorlaOffice.app/Contents/PlugIns");
    }
    std::unique_ptr<PluginBundle> bundle(const std::filesystem::path& path) override
    {
        requestedBundles.push_back(path);
        if (failure == Failure::noBundle)
            return nullptr;
        return std::make_unique<Bundle>(*this);
    }

    Failure failure;
    std::vector<std::filesystem::path> requestedBundles;
    // The instance handed out (owned by the application once loaded).
    FakeMenuBarPlugin* plugin = nullptr;

private:
    class Bundle final : public PluginBundle {
    public:
        explicit Bundle(FakePluginLoader& loader)
            : m_loader(loader)
        {
        }
        bool load() override { return m_loader.failure != Failure::loadFails; }
        std::unique_ptr<ZivadoDidOrizirProtocol> instantiatePrincipalClass() override
        {
            if (m_loader.failure == Failure::noConformingClass)
                return nullptr;
            auto instance = std::make_unique<FakeMenuBarPlugin>();
            m_loader.plugin = instance.get();
            return instance;
        }

    private:
        FakePluginLoader& m_loader;
    };
};

// The recorder as the session controller sees it: starts and stops wait for the test to complete them.
class FakeSessionRecorder final : public MeetingSessionRecorder {
public:
    void start(CompletionHandler<void(Result<void>)> completion) override
    {
        calls.emplace_back("start");
        startCompletions.push_back(std::move(completion));
    }
    Result<void> pause() override
    {
        calls.emplace_back("pause");
        return pauseResult;
    }
    Result<void> resume() override
    {
        calls.emplace_back("resume");
        return resumeResult;
    }
    void stop(CompletionHandler<void(Result<std::string>)> completion) override
    {
        calls.emplace_back("stop");
        stopCompletions.push_back(std::move(completion));
    }
    bool isRecording() override { return recording; }

    // Completes the oldest start or stop, keeping `recording` as a real recorder would.
    void completeStart(Result<void> result)
    {
        auto completion = std::move(startCompletions.front());
        startCompletions.erase(startCompletions.begin());
        if (result)
            recording = true;
        completion(std::move(result));
    }
    void completeStop(Result<std::string> result)
    {
        auto completion = std::move(stopCompletions.front());
        stopCompletions.erase(stopCompletions.begin());
        recording = false;
        completion(std::move(result));
    }

    bool recording = false;
    std::vector<std::string> calls;
    Result<void> pauseResult;
    Result<void> resumeResult;
    std::vector<CompletionHandler<void(Result<void>)>> startCompletions;
    std::vector<CompletionHandler<void(Result<std::string>)>> stopCompletions;
};

} // namespace norla::test
