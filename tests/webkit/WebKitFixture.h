#pragma once

#include "FakeUserNotificationCenter.h"
#include "ScopedEnvironmentVariable.h"
#include "TemporaryDirectory.h"
#include "TestEnvironment.h"
#include "foundation/MainContextWait.h"
#include "web/GtkWebView.h"
#include "web/OfficeWebViewCoordinator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace norla::test {

// The page host as the application builds it, against the demo server on free ports: the core's
// OfficeWebView with the real WebKit factory, the bridge targets the application installs, the recordings
// under a temporary XDG_DATA_HOME and the application's own URL opener. The operating system's
// notification center is the one stand-in, so that what reaches it can be read back; URLs handed to the
// desktop reach a handler of the tests' own, which writes them down.
class WebKitFixture : public ::testing::Test {
public:
    // Makes that handler the desktop's default for web, mail and telephone links. Once, before GTK starts:
    // GLib reads the XDG directories once.
    static void installTestDesktop();

protected:
    void SetUp() override;
    void TearDown() override;

    // The demo application's origin, e.g. "http://127.0.0.1:41234"; and the second one on the other port.
    const std::string& origin() const { return m_origin; }
    const std::string& otherOrigin() const { return m_otherOrigin; }
    const std::filesystem::path& dataDirectory() const { return m_dataDirectory->path(); }
    std::filesystem::path recordingsDirectory() const
    {
        return dataDirectory() / "xdg" / "norla-office" / "recordings";
    }

    // Web views built from now on stop a load that has not finished after `timeout` (60 seconds unless
    // set). The new factory is a new network session on the same directories, as after a restart.
    void useLoadTimeout(Duration timeout);
    // Builds the host with the application URL at `path` on the demo's origin and waits for its first load.
    std::shared_ptr<GtkWebView> openOffice(const std::string& path = "/chat");
    const std::shared_ptr<OfficeWebView::Coordinator>& coordinator() const { return m_coordinator; }
    // A web view in a shown window, so that it is as the application has it, with a microphone without hardware.
    std::shared_ptr<GtkWebView> show(std::shared_ptr<WebView> webView);

    // Starts something that loads a page and waits until a load has finished.
    bool waitForLoad(GtkWebView& webView, const std::function<void()>& start, int seconds = 30);
    // Runs an async function body in the page and waits for its result, for at most `seconds`.
    Result<Value> call(GtkWebView& webView, const std::string& body, Value::Object arguments = {}, int seconds = 30);
    // Evaluates `expression` in the page until it is true.
    bool waitInPage(GtkWebView& webView, const std::string& expression, int seconds = 20);
    // Iterates the main loop until `done` holds, for at most `seconds`.
    bool runUntil(const std::function<bool()>& done, int seconds = 30)
    {
        return iterateMainContextUntil(done, std::chrono::seconds(seconds));
    }

    static FakeUserNotificationCenter& notificationCenter();
    // What reached the desktop's URL handler since the test began.
    std::vector<std::string> openedURLs() const;

private:
    TestEnvironment m_environment;
    std::string m_origin;
    std::string m_otherOrigin;
    std::optional<TemporaryDirectory> m_dataDirectory;
    GPid m_server = 0;
    std::vector<GtkWindow*> m_windows;
    std::vector<std::shared_ptr<GtkWebView>> m_webViews;
    std::optional<ScopedEnvironmentVariable> m_dataHome;
    std::optional<ScopedEnvironmentVariable> m_appURL;
    size_t m_openedBefore = 0;
    std::shared_ptr<OfficeWebView::Coordinator> m_coordinator;
};

} // namespace norla::test
