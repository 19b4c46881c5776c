#include "WebKitFixture.h"

#include "foundation/GUniquePtr.h"
#include "foundation/MainContextWait.h"
#include "platform/GUriParser.h"
#include "platform/Seams.h"

#include <csignal>
#include <cstdio>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace norla::test {

namespace {
    // Runs in the server's process before it starts: a test program that dies (a sanitizer stopping it, a
    // crash) takes the server with it, instead of leaving it holding the test runner's output open.
    void dieWithParent(gpointer) { prctl(PR_SET_PDEATHSIG, SIGTERM); }
} // namespace

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
    ASSERT_NE(stream, nullptr);
    char line[256] = {};
    ASSERT_NE(std::fgets(line, sizeof line, stream.get()), nullptr);
    std::string text(line);
    auto start = text.find("http://");
    auto other = text.find("http://", start + 1);
    ASSERT_NE(other, std::string::npos) << text;
    m_origin = text.substr(start, text.find(' ', start) - start);
    m_otherOrigin = text.substr(other, text.find(')', other) - other);
}

void WebKitFixture::TearDown()
{
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
    Seam<UrlParser>::install(nullptr);
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
    m_windows.push_back(window);
    return gtkWebView;
}

void WebKitFixture::loadAndWait(GtkWebView& webView, const std::string& url)
{
    auto parsed = parseUrl(url);
    ASSERT_TRUE(parsed) << url;
    ASSERT_TRUE(waitForLoad(webView, [&] { webView.load(UrlRequest { *parsed }); })) << "never loaded " << url;
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

bool WebKitFixture::runUntil(const std::function<bool()>& done, int seconds)
{
    return iterateMainContextUntil(done, std::chrono::seconds(seconds));
}

} // namespace norla::test
