#pragma once

#include "FakeMenuBarPlugin.h"
#include "FakeQueue.h"
#include "FakeSharedApplication.h"
#include "FakeUserNotificationCenter.h"
#include "TestEnvironment.h"
#include "desktop/MacShell.h"
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

// A desktop shell on fakes: the plug-in (loaded unless the test says otherwise), the recorder, the
// notification center, the limit timer in virtual time, and every officeEvaluate script and
// openInternalURL call collected.
class DesktopShellFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        Seam<UrlParser>::install(std::make_shared<GUriParser>());
        m_evaluateObserver = NotificationCenter::defaultCenter().addObserver(
            std::string(officeEvaluate), [this](const Notification& notification) {
                if (auto* script = std::any_cast<std::string>(&notification.object))
                    evaluated.push_back(*script);
            });
        m_reloadObserver = NotificationCenter::defaultCenter().addObserver(
            std::string(officeReload), [this](const Notification&) { ++reloads; });
    }
    void TearDown() override
    {
        shell.reset();
        environment.main().runUntilIdle();
        NotificationCenter::defaultCenter().removeObserver(m_evaluateObserver);
        NotificationCenter::defaultCenter().removeObserver(m_reloadObserver);
        Seam<UrlParser>::install(nullptr);
    }

    void makeShell(FakePluginLoader::Failure failure = FakePluginLoader::Failure::none, bool install = true)
    {
        loader = std::make_shared<FakePluginLoader>(failure);
        MacShell::Environment shellEnvironment;
        shellEnvironment.recorder = recorder;
        shellEnvironment.application = application;
        shellEnvironment.pluginLoader = loader;
        shellEnvironment.notificationCenter = center;
        shellEnvironment.uuids = std::make_shared<CountingUuids>();
        shellEnvironment.timerQueue = timers;
        shellEnvironment.openInternalURL = [this](const Url& url) { opened.push_back(url.absoluteString); };
        shell = MacShell::make(std::move(shellEnvironment));
        if (install)
            shell->installBridge();
    }

    FakeMenuBarPlugin& plugin() { return *loader->plugin; }
    void runMain() { environment.main().runUntilIdle(); }
    std::vector<std::string> takeEvaluated()
    {
        runMain();
        return std::exchange(evaluated, {});
    }

    TestEnvironment environment;
    std::shared_ptr<FakeSessionRecorder> recorder = std::make_shared<FakeSessionRecorder>();
    std::shared_ptr<FakeSharedApplication> application = std::make_shared<FakeSharedApplication>();
    std::shared_ptr<FakeUserNotificationCenter> center = std::make_shared<FakeUserNotificationCenter>();
    std::shared_ptr<FakeQueue> timers = std::make_shared<FakeQueue>("shell timers", environment.sharedClock());
    std::shared_ptr<FakePluginLoader> loader;
    std::shared_ptr<MacShell> shell;
    std::vector<std::string> opened;
    std::vector<std::string> evaluated;
    int reloads = 0;

private:
    ObserverToken m_evaluateObserver;
    ObserverToken m_reloadObserver;
};

} // namespace norla::test
