#include "WebKitFixture.h"

#include "FakeKeyValueStore.h"
#include "FakeSharedApplication.h"
#include "desktop/BridgeTargets.h"
#include "foundation/GUniquePtr.h"
#include "foundation/MainContextWait.h"
#include "foundation/SignalConnection.h"
#include "platform/BackgroundExecutor.h"
#include "platform/EnvironmentInfoDictionary.h"
#include "platform/GLibMainExecutor.h"
#include "platform/GLibUuidGenerator.h"
#include "platform/GUriParser.h"
#include "platform/GioUrlOpener.h"
#include "platform/Seams.h"
#include "platform/XdgApplicationSupport.h"
#include "recording/LinuxRecordingSeams.h"
#include "web/WebKitWebViewFactory.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace norla::test {
namespace {

    // Runs in the server's process before it starts: a test program that dies (a sanitizer stopping it, a
    // crash) takes the server with it, instead of leaving it holding the test runner's output open.
    void dieWithParent(gpointer) { prctl(PR_SET_PDEATHSIG, SIGTERM); }

    // The test desktop's directories, for the life of the process; the handler's log, one URL a line.
    const std::filesystem::path& desktopDirectory()
    {
        static TemporaryDirectory directory("norla-desktop");
        return directory.path();
    }
    std::filesystem::path openerLog() { return desktopDirectory() / "opened.log"; }

} // namespace

void WebKitFixture::installTestDesktop()
{
    const auto& directory = desktopDirectory();
    auto handler = directory / "opener";
    std::ofstream(handler) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << openerLog().string() << "'\n";
    std::filesystem::permissions(handler, std::filesystem::perms::owner_all);
    std::filesystem::create_directories(directory / "data" / "applications");
    std::filesystem::create_directories(directory / "config");
    std::string mimeTypes;
    std::string defaults = "[Default Applications]\n";
    for (const char* scheme : { "http", "https", "mailto", "tel" }) {
        mimeTypes += std::string("x-scheme-handler/") + scheme + ";";
        defaults += std::string("x-scheme-handler/") + scheme + "=norla-test-opener.desktop\n";
    }
    std::ofstream(directory / "data" / "applications" / "norla-test-opener.desktop")
        << "[Desktop Entry]\nType=Application\nName=NorlaOffice test opener\nNoDisplay=true\nExec=" << handler.string()
        << " %u\nMimeType=" << mimeTypes << "\n";
    // Read from the user's configuration and, for a program given another XDG_CONFIG_HOME, from the data
    // directories.
    std::ofstream(directory / "config" / "mimeapps.list") << defaults;
    std::ofstream(directory / "data" / "applications" / "mimeapps.list") << defaults;
    const char* dataDirs = std::getenv("XDG_DATA_DIRS");
    auto data
        = (directory / "data").string() + ":" + (dataDirs && *dataDirs ? dataDirs : "/usr/local/share:/usr/share");
    setenv("XDG_DATA_DIRS", data.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (directory / "config").c_str(), 1);
}

FakeUserNotificationCenter& WebKitFixture::notificationCenter()
{
    // The shared controllers keep the center they met first, for the life of the process.
    static auto center = std::make_shared<FakeUserNotificationCenter>();
    return *center;
}

void WebKitFixture::SetUp()
{
    Seam<UrlParser>::install(std::make_shared<GUriParser>());
    m_dataDirectory.emplace("norla-webkit");
    const char* argv[] = { NORLA_NODE, NORLA_DEMO_SERVER, "--port", "0", nullptr };
    int out = -1;
    GErrorPtr error;
    ASSERT_TRUE(g_spawn_async_with_pipes(nullptr, const_cast<char**>(argv), nullptr, G_SPAWN_DO_NOT_REAP_CHILD,
        dieWithParent, nullptr, &m_server, nullptr, &out, nullptr, GErrorOut(error)))
        << error->message;
    // The server's first line: "demo: http://127.0.0.1:P (other origin: http://127.0.0.1:Q)".
    std::unique_ptr<FILE, int (*)(FILE*)> stream(fdopen(out, "r"), &std::fclose);
    char line[256] = {};
    ASSERT_TRUE(stream && std::fgets(line, sizeof line, stream.get()));
    std::cmatch origins;
    ASSERT_TRUE(std::regex_search(line, origins, std::regex(R"((http://[^ ]+) \(other origin: (http://[^)]+)\))")))
        << line;
    m_origin = origins[1];
    m_otherOrigin = origins[2];

    m_dataHome.emplace("XDG_DATA_HOME", (dataDirectory() / "xdg").c_str());
    m_openedBefore = openedURLs().size();
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

void WebKitFixture::TearDown()
{
    m_webViews.clear();
    m_coordinator.reset();
    for (auto* window : m_windows)
        gtk_window_destroy(window);
    m_windows.clear();
    for (int i = 0; i < 200 && g_main_context_iteration(nullptr, FALSE); ++i) { }
    if (m_server) {
        kill(m_server, SIGTERM);
        waitpid(m_server, nullptr, 0);
        g_spawn_close_pid(m_server);
    }
    // WebKit's network process may still be writing a page's storage a moment after its window has gone.
    std::error_code error;
    for (int attempt = 0; attempt < 100; ++attempt) {
        error.clear();
        std::filesystem::remove_all(dataDirectory(), error);
        if (!error)
            break;
        g_usleep(20 * 1000);
    }
    EXPECT_FALSE(error) << dataDirectory() << ": " << error.message();
    m_dataDirectory.reset();
    Seam<WebViewFactory>::install(nullptr);
    Seam<UrlParser>::install(nullptr);
    Seam<SharedApplication>::install(nullptr);
    m_appURL.reset();
    m_dataHome.reset();
}

void WebKitFixture::useLoadTimeout(Duration timeout)
{
    Seam<WebViewFactory>::install(
        std::make_shared<WebKitWebViewFactory>(dataDirectory() / "web-data", dataDirectory() / "web-cache", timeout));
}

std::shared_ptr<GtkWebView> WebKitFixture::openOffice(const std::string& path)
{
    auto appURL = parseUrl(origin() + path);
    EXPECT_TRUE(appURL.has_value()) << path;
    if (!appURL)
        return nullptr;
    m_appURL.emplace("NorlaAppURL", (origin() + path).c_str());
    OfficeWebView host(*appURL);
    m_coordinator = host.makeCoordinator();
    auto webView = show(host.makeWebView(m_coordinator));
    // The first load began as the view was made; it is waited for here.
    EXPECT_TRUE(webView && waitForLoad(*webView, [] {})) << "the application URL never loaded";
    return webView;
}

std::shared_ptr<GtkWebView> WebKitFixture::show(std::shared_ptr<WebView> webView)
{
    auto gtkWebView = std::dynamic_pointer_cast<GtkWebView>(webView);
    EXPECT_NE(gtkWebView, nullptr);
    if (!gtkWebView)
        return nullptr;
    auto* window = GTK_WINDOW(gtk_window_new());
    gtk_window_set_default_size(window, 800, 600);
    gtk_window_set_child(window, GTK_WIDGET(gtkWebView->widget()));
    gtk_window_present(window);
    webkit_settings_set_enable_mock_capture_devices(webkit_web_view_get_settings(gtkWebView->widget()), TRUE);
    m_windows.push_back(window);
    m_webViews.push_back(gtkWebView);
    return gtkWebView;
}

bool WebKitFixture::waitForLoad(GtkWebView& webView, const std::function<void()>& start, int seconds)
{
    bool finished = false;
    auto connection = connectSignal<void(WebKitWebView*, WebKitLoadEvent)>(webView.widget(), "load-changed",
        [&finished](WebKitWebView*, WebKitLoadEvent event) { finished = finished || event == WEBKIT_LOAD_FINISHED; });
    start();
    return runUntil([&] { return finished; }, seconds);
}

Result<Value> WebKitFixture::call(GtkWebView& webView, const std::string& body, Value::Object arguments, int seconds)
{
    std::optional<Result<Value>> answer;
    webView.callAsyncJavaScript(body, std::move(arguments), ContentWorld::page,
        [&answer](Result<Value> result) { answer.emplace(std::move(result)); });
    if (!runUntil([&] { return answer.has_value(); }, seconds))
        return Error::platform("no answer from the page");
    return std::move(*answer);
}

bool WebKitFixture::waitInPage(GtkWebView& webView, const std::string& expression, int seconds)
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

std::vector<std::string> WebKitFixture::openedURLs() const
{
    std::vector<std::string> lines;
    std::ifstream log(openerLog());
    for (std::string line; std::getline(log, line);)
        lines.push_back(line);
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(std::min(m_openedBefore, lines.size())));
    return lines;
}

} // namespace norla::test
