#pragma once

#include "FakeBridgeServices.h"
#include "FakeKeyValueStore.h"
#include "FakeMenuBarPlugin.h"
#include "FakeQueue.h"
#include "FakeSharedApplication.h"
#include "FakeUserNotificationCenter.h"
#include "InlineBackgroundExecutor.h"
#include "TestEnvironment.h"
#include "desktop/MacShell.h"
#include "desktop/PushNotifications.h"
#include "platform/GUriParser.h"
#include "platform/NotificationCenter.h"
#include "platform/Seams.h"
#include "web/OfficeNotifications.h"

#include <gtest/gtest.h>

#include <any>
#include <memory>
#include <string>
#include <vector>

namespace norla::test {

// The desktop on fakes: a shell once the test makes one (its plug-in loaded unless the test says
// otherwise), the push controller, the recorder, the notification center, the limit timer in virtual
// time, and every officeEvaluate script and openInternalURL call collected.
class DesktopShellFixture : public ::testing::Test {
protected:
    DesktopShellFixture()
    {
        Seam<UrlParser>::install(std::make_shared<GUriParser>());
        observe(officeEvaluate, [this](const Notification& notification) {
            if (auto* script = std::any_cast<std::string>(&notification.object))
                evaluated.push_back(*script);
        });
        observe(officeReload, [this](const Notification&) { ++reloads; });
    }
    ~DesktopShellFixture() override
    {
        shell.reset();
        runMain();
        for (auto& token : m_observers)
            NotificationCenter::defaultCenter().removeObserver(token);
        Seam<UrlParser>::install(nullptr);
    }

    void makeShell(FakePluginLoader::Failure failure = FakePluginLoader::Failure::none, bool install = true)
    {
        loader = std::make_shared<FakePluginLoader>(failure);
        shell = MacShell::make({ recorder, application, loader, center, std::make_shared<CountingUuids>(), timers,
            [this](const Url& url) { opened.push_back(url.absoluteString); } });
        if (install)
            shell->installPlugin();
    }
    // Observes an in-process notification until the test ends.
    void observe(std::string_view name, std::function<void(const Notification&)> observer)
    {
        m_observers.push_back(NotificationCenter::defaultCenter().addObserver(std::string(name), std::move(observer)));
    }

    FakeMenuBarPlugin& plugin() { return *loader->plugin; }
    void runMain() { environment.main().runUntilIdle(); }
    std::vector<std::string> takeEvaluated()
    {
        runMain();
        return std::exchange(evaluated, {});
    }

    TestEnvironment environment;
    std::shared_ptr<FakeMeetingRecorder> recorder = std::make_shared<FakeMeetingRecorder>();
    std::shared_ptr<FakeSharedApplication> application = std::make_shared<FakeSharedApplication>();
    std::shared_ptr<FakeUserNotificationCenter> center = std::make_shared<FakeUserNotificationCenter>();
    std::shared_ptr<FakeKeyValueStore> defaults = std::make_shared<FakeKeyValueStore>();
    std::shared_ptr<FakeQueue> timers = std::make_shared<FakeQueue>("shell timers", environment.sharedClock());
    PushNotifications push { { defaults, center, application, std::make_shared<InlineBackgroundExecutor>() } };
    std::shared_ptr<FakePluginLoader> loader;
    std::shared_ptr<MacShell> shell;
    std::vector<std::string> opened;
    std::vector<std::string> evaluated;
    int reloads = 0;

private:
    std::vector<ObserverToken> m_observers;
};

} // namespace norla::test
