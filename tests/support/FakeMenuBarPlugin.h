#pragma once

#include "desktop/PluginLoader.h"
#include "desktop/ZivadoDidOrizirProtocol.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace norla::test {

// The menu-bar plug-in: records the calls that show something as lines ("show recording 会議 -", "hide",
// "title 5", …) and keeps the callbacks the application handed over so that tests can press buttons and
// send events.
class FakeMenuBarPlugin final : public ZivadoDidOrizirProtocol {
public:
    void installWithOpenWindow(Callback openWindowCallback, Callback reloadCallback) override
    {
        openWindow = std::move(openWindowCallback);
        reload = std::move(reloadCallback);
    }
    void setBadgeTitle(std::optional<std::string> title) override { calls.push_back("title " + title.value_or("nil")); }
    void toggleWindow() override { calls.emplace_back("toggleWindow"); }
    void showWindow() override { calls.emplace_back("showWindow"); }
    void startMeetingWatch(MeetingWatch watch) override { meetingWatch = std::move(watch); }
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
    void setMeetingPopupHandler(PopupHandler handler) override { popupHandler = std::move(handler); }

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
        return failure == Failure::noPlugInsFolder ? std::nullopt : std::optional<std::filesystem::path>("/PlugIns");
    }
    std::unique_ptr<PluginBundle> bundle(const std::filesystem::path&) override
    {
        return failure == Failure::noBundle ? nullptr : std::make_unique<Bundle>(*this);
    }

    Failure failure;
    FakeMenuBarPlugin* plugin = nullptr; // the instance handed out, owned by the shell once loaded

private:
    struct Bundle final : PluginBundle {
        explicit Bundle(FakePluginLoader& owner)
            : loader(owner)
        {
        }
        bool load() override { return loader.failure != Failure::loadFails; }
        std::unique_ptr<ZivadoDidOrizirProtocol> instantiatePrincipalClass() override
        {
            if (loader.failure == Failure::noConformingClass)
                return nullptr;
            auto instance = std::make_unique<FakeMenuBarPlugin>();
            loader.plugin = instance.get();
            return instance;
        }
        FakePluginLoader& loader;
    };
};

} // namespace norla::test
