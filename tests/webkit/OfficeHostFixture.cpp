#include "OfficeHostFixture.h"

#include "FakeKeyValueStore.h"
#include "FakeSharedApplication.h"
#include "TestDesktop.h"
#include "desktop/BridgeTargets.h"
#include "foundation/SignalConnection.h"
#include "platform/BackgroundExecutor.h"
#include "platform/EnvironmentInfoDictionary.h"
#include "platform/GLibMainExecutor.h"
#include "platform/GLibUuidGenerator.h"
#include "platform/GioUrlOpener.h"
#include "platform/Seams.h"
#include "platform/XdgApplicationSupport.h"
#include "recording/LinuxRecordingSeams.h"
#include "web/WebKitConfiguration.h"

#include <algorithm>
#include <cstdlib>

namespace norla::test {
namespace {

    // The application's factory, with a microphone without hardware for pages that ask for one.
    class MockCaptureFactory final : public WebViewFactory {
    public:
        explicit MockCaptureFactory(std::shared_ptr<WebViewFactory> factory)
            : m_factory(std::move(factory))
        {
        }
        std::unique_ptr<WebViewConfiguration> makeConfiguration() override
        {
            auto configuration = m_factory->makeConfiguration();
            if (auto* webKit = dynamic_cast<WebKitConfiguration*>(configuration.get()))
                webkit_settings_set_enable_mock_capture_devices(webKit->settings(), TRUE);
            return configuration;
        }
        std::shared_ptr<WebView> makeWebView(std::unique_ptr<WebViewConfiguration> configuration) override
        {
            return m_factory->makeWebView(std::move(configuration));
        }

    private:
        std::shared_ptr<WebViewFactory> m_factory;
    };

} // namespace

FakeUserNotificationCenter& OfficeHostFixture::notificationCenter()
{
    // The shared controllers keep the center they met first, for the life of the process.
    static auto center = std::make_shared<FakeUserNotificationCenter>();
    return *center;
}

void OfficeHostFixture::SetUp()
{
    WebKitFixture::SetUp();
    if (HasFatalFailure())
        return;
    m_dataHome.emplace("XDG_DATA_HOME", (dataDirectory() / "xdg").c_str());
    m_openedBefore = TestDesktop::shared().openedURLs().size();

    Seam<MainExecutor>::install(std::make_shared<GLibMainExecutor>());
    Seam<Clock>::install(std::make_shared<SteadyClock>());
    Seam<InfoDictionary>::install(std::make_shared<EnvironmentInfoDictionary>());
    Seam<KeyValueStore>::install(std::make_shared<FakeKeyValueStore>());
    Seam<UrlOpener>::install(std::make_shared<GioUrlOpener>());
    Seam<UserNotificationCenter>::install(
        std::shared_ptr<UserNotificationCenter>(std::shared_ptr<void>(), &notificationCenter()));
    Seam<UuidGenerator>::install(std::make_shared<GLibUuidGenerator>());
    Seam<BackgroundExecutor>::install(std::make_shared<ThreadBackgroundExecutor>());
    Seam<ApplicationSupport>::install(std::make_shared<XdgApplicationSupport>());
    Seam<SharedApplication>::install(std::make_shared<FakeSharedApplication>());
    useLoadTimeout(seconds(60));
    static bool installed = false;
    if (!installed) {
        // The shared controllers behind the bridge live for the process, as in the application.
        installLinuxRecordingSeams();
        installBridgeTargets();
        installed = true;
    }
    notificationCenter().status = NotificationAuthorizationStatus::notDetermined;
    notificationCenter().added.clear();
    notificationCenter().delivered.clear();
    notificationCenter().badgeCount.reset();
}

void OfficeHostFixture::TearDown()
{
    m_webView.reset();
    m_coordinator.reset();
    WebKitFixture::TearDown();
    Seam<WebViewFactory>::install(nullptr);
    Seam<SharedApplication>::install(nullptr);
    m_appURL.reset();
    m_dataHome.reset();
}

void OfficeHostFixture::useLoadTimeout(Duration timeout)
{
    Seam<WebViewFactory>::install(std::make_shared<MockCaptureFactory>(
        std::make_shared<WebKitWebViewFactory>(dataDirectory() / "web-data", dataDirectory() / "web-cache", timeout)));
}

std::shared_ptr<GtkWebView> OfficeHostFixture::openOffice(const std::string& path, const std::string& appOrigin)
{
    auto appURL = parseUrl((appOrigin.empty() ? origin() : appOrigin) + path);
    EXPECT_TRUE(appURL.has_value()) << path;
    if (!appURL)
        return nullptr;
    m_appURL.emplace("NorlaAppURL", (origin() + path).c_str());
    OfficeWebView host(*appURL);
    m_coordinator = host.makeCoordinator();
    m_webView = show(host.makeWebView(m_coordinator));
    if (!m_webView || !appOrigin.empty())
        return m_webView;
    // The first load began as the view was made; it is waited for here.
    EXPECT_TRUE(waitForLoad(*m_webView, [] {})) << "the application URL never loaded";
    return m_webView;
}

bool OfficeHostFixture::waitInPage(GtkWebView& webView, const std::string& expression, int seconds)
{
    auto answer = call(webView,
        "const end = Date.now() + limit;\n"
        "while (Date.now() < end) {\n"
        "  if ("
            + expression
            + ") return true;\n"
              "  await new Promise((resolve) => setTimeout(resolve, 20));\n"
              "}\n"
              "return false;",
        { { "limit", seconds * 1000 } }, seconds + 10);
    return answer.ok() && answer.value() == Value(true);
}

std::vector<std::string> OfficeHostFixture::openedURLs() const
{
    auto lines = TestDesktop::shared().openedURLs();
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(std::min(m_openedBefore, lines.size())));
    return lines;
}

std::filesystem::path OfficeHostFixture::recordingsDirectory() const
{
    return dataDirectory() / "xdg" / "norla-office" / "recordings";
}

Result<Value> OfficeHostFixture::postToServer(GtkWebView& webView, const std::string& path, const std::string& jsonBody)
{
    return call(webView,
        "const response = await fetch(path, { method: 'POST', body, headers: { 'Content-Type': 'application/json' } });"
        "return response.status;",
        { { "path", path }, { "body", jsonBody } });
}

} // namespace norla::test
