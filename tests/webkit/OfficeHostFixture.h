#pragma once

#include "FakeUserNotificationCenter.h"
#include "ScopedEnvironmentVariable.h"
#include "WebKitFixture.h"
#include "web/OfficeWebViewCoordinator.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace norla::test {

// The page host as the application builds it: the core's OfficeWebView with the real WebKit factory,
// the bridge targets the application installs, the recordings under a temporary XDG_DATA_HOME and the
// application's own URL opener, which hands URLs to the test desktop's handler. The operating system's
// notification center is the one stand-in, so that what reaches it can be read back.
class OfficeHostFixture : public WebKitFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // Web views built from now on stop a load that has not finished after `timeout` (60 seconds unless set).
    void useLoadTimeout(Duration timeout);
    // Builds the host with the application URL at `path` on the demo's origin and waits for its first
    // finished load. With `appOrigin`, the host's application is there instead (the demo's origin stays
    // the one navigation lets in), and nothing is awaited.
    std::shared_ptr<GtkWebView> openOffice(const std::string& path = "/chat", const std::string& appOrigin = {});
    const std::shared_ptr<OfficeWebView::Coordinator>& coordinator() const { return m_coordinator; }

    // Evaluates `expression` in the page until it is true.
    bool waitInPage(GtkWebView& webView, const std::string& expression, int seconds = 20);

    static FakeUserNotificationCenter& notificationCenter();
    // What reached the desktop's URL handler since the test began.
    std::vector<std::string> openedURLs() const;
    std::filesystem::path recordingsDirectory() const;
    // A demo server control under /api/test/* or /api/version/*, posted from the page.
    Result<Value> postToServer(GtkWebView& webView, const std::string& path, const std::string& jsonBody = "null");

private:
    std::optional<ScopedEnvironmentVariable> m_dataHome;
    std::optional<ScopedEnvironmentVariable> m_appURL;
    size_t m_openedBefore = 0;
    std::shared_ptr<OfficeWebView::Coordinator> m_coordinator;
    std::shared_ptr<GtkWebView> m_webView;
};

} // namespace norla::test
