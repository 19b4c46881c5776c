#pragma once

#include "app/MenuModel.h"
#include "app/OfficeWindow.h"
#include "foundation/GRef.h"
#include "foundation/SignalConnection.h"
#include "platform/PassKey.h"
#include "platform/SharedApplication.h"

#include <gtk/gtk.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace norla {

// The application on GTK: the scene with its windows, the menu bar and its shortcuts, and the hooks of
// the application delegate (launch, notification taps). Also the shared application seam: new scenes
// are new windows, and there are no remote notifications on Linux. Main thread only.
class OfficeApplication final : public SharedApplication, public std::enable_shared_from_this<OfficeApplication> {
public:
    struct Options {
        // Save a picture of the first window once its first page has loaded, then quit.
        std::optional<std::filesystem::path> screenshot;
        // Write the address of the first window's first finished page load to this file (for measuring
        // start-up from outside the process).
        std::optional<std::filesystem::path> loadLog;
    };

    static std::shared_ptr<OfficeApplication> make(Options options);
    ~OfficeApplication() override;
    OfficeApplication(const OfficeApplication&) = delete;
    OfficeApplication& operator=(const OfficeApplication&) = delete;

    // Runs the main loop until the last window closes; answers the exit status.
    int run(int argc, char** argv);

    void requestNewScene() override { openWindow(); }
    std::vector<std::shared_ptr<Window>> windowSceneWindows() const override;
    std::shared_ptr<Window> makeWindow() override;
    void registerForRemoteNotifications() override { }

    GtkApplication* application() const { return m_application.get(); }

    // Only make() constructs: instances are always shared, for shared_from_this.
    OfficeApplication(PassKey<OfficeApplication>, Options options);

private:
    void startup();
    void activate();
    OfficeWindow& openWindow();
    void windowRemoved(GtkWindow* window);
    void installActions();
    void notificationResponse(GVariant* parameter);
    void armScreenshot(OfficeWindow& window);
    void armLoadLog(OfficeWindow& window);

    Options m_options;
    GRef<GtkApplication> m_application;
    MenuModel m_menus;
    std::vector<std::unique_ptr<OfficeWindow>> m_windows;
    std::vector<SignalConnection> m_connections;
    bool m_screenshotArmed = false;
    int m_exitStatus = 0;
};

} // namespace norla
