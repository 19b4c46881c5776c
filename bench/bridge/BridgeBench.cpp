// How fast the page bridge is in real WebKit, on the host the application builds (the core's web view
// host, the real seams and bridge targets): 10,000 sequential and 10,000 concurrent "notificationPermission"
// round trips, timed in the page (in blocks of 100, and all 10,000 in flight at once); and the start-up of
// norla-office against a bare WebKitGTK window on the same demo page (time to the first finished load and
// the memory of each process tree then; see StartupComparison).
//   norla-bridge-bench [--messages N] [--startups N]
// Needs a display and a session bus of its own (run under dbus-run-session -- xvfb-run -a, so that no
// running NorlaOffice takes the launches over) and Node.js for the demo server.
#include "StartupComparison.h"
#include "desktop/BridgeTargets.h"
#include "foundation/GUniquePtr.h"
#include "foundation/MainContextWait.h"
#include "foundation/SignalConnection.h"
#include "platform/BackgroundExecutor.h"
#include "platform/EnvironmentInfoDictionary.h"
#include "platform/GLibMainExecutor.h"
#include "platform/GLibUuidGenerator.h"
#include "platform/GUriParser.h"
#include "platform/GioNotificationCenter.h"
#include "platform/GioUrlOpener.h"
#include "platform/KeyFileStore.h"
#include "platform/PosixFileHandles.h"
#include "platform/PosixSessionClaims.h"
#include "platform/Seams.h"
#include "platform/SystemLog.h"
#include "platform/XdgApplicationSupport.h"
#include "recording/FfmpegAudioFileWriter.h"
#include "recording/LinuxRecordingSeams.h"
#include "web/GtkWebView.h"
#include "web/OfficeWebView.h"
#include "web/OfficeWebViewCoordinator.h"
#include "web/WebKitWebViewFactory.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace norla;

namespace {

class QuietLog final : public SystemLog {
public:
    void write(std::string_view) override { }
};

void installSeams()
{
    Seam<MainExecutor>::install(std::make_shared<GLibMainExecutor>());
    Seam<SystemLog>::install(std::make_shared<QuietLog>());
    Seam<Clock>::install(std::make_shared<SteadyClock>());
    Seam<InfoDictionary>::install(std::make_shared<EnvironmentInfoDictionary>());
    Seam<UrlParser>::install(std::make_shared<GUriParser>());
    Seam<KeyValueStore>::install(std::make_shared<KeyFileStore>());
    Seam<UrlOpener>::install(std::make_shared<GioUrlOpener>()); // the pages measured open nothing
    Seam<UserNotificationCenter>::install(std::make_shared<GioNotificationCenter>("jp.norla.office.bench"));
    Seam<UuidGenerator>::install(std::make_shared<GLibUuidGenerator>());
    Seam<BackgroundExecutor>::install(std::make_shared<ThreadBackgroundExecutor>());
    Seam<ApplicationSupport>::install(std::make_shared<XdgApplicationSupport>());
    Seam<WebViewFactory>::install(std::make_shared<WebKitWebViewFactory>());
    installLinuxRecordingSeams();
    Seam<FileHandles>::install(std::make_shared<PosixFileHandles>());
    Seam<SessionClaims>::install(std::make_shared<PosixSessionClaims>());
    Seam<AudioFileWriter>::install(std::make_shared<FfmpegAudioFileWriter>());
    installBridgeTargets();
}

bool runUntil(const std::function<bool()>& done, int seconds)
{
    return iterateMainContextUntil(done, std::chrono::seconds(seconds));
}

// The application's window content: the host builds the web view and starts loading the application URL.
struct Office {
    std::shared_ptr<OfficeWebView::Coordinator> coordinator;
    std::shared_ptr<GtkWebView> webView;
    GtkWindow* window = nullptr;
    bool loaded = false;
    SignalConnection connection;
};

std::unique_ptr<Office> openOffice(const std::string& appURL)
{
    auto office = std::make_unique<Office>();
    auto url = parseUrl(appURL);
    if (!url)
        return nullptr;
    OfficeWebView host(*url);
    office->coordinator = host.makeCoordinator();
    office->webView = std::dynamic_pointer_cast<GtkWebView>(host.makeWebView(office->coordinator));
    if (!office->webView)
        return nullptr;
    office->window = GTK_WINDOW(gtk_window_new());
    gtk_window_set_default_size(office->window, 1280, 800);
    gtk_window_set_child(office->window, GTK_WIDGET(office->webView->widget()));
    gtk_window_present(office->window);
    office->connection = connectSignal<void(WebKitWebView*, WebKitLoadEvent)>(
        office->webView->widget(), "load-changed", [loaded = &office->loaded](WebKitWebView*, WebKitLoadEvent event) {
            *loaded = *loaded || event == WEBKIT_LOAD_FINISHED;
        });
    return office;
}

struct DemoServer {
    GPid pid = 0;
    std::string origin;
    ~DemoServer() { stop(); }
    void stop()
    {
        if (pid) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
            g_spawn_close_pid(std::exchange(pid, 0));
        }
    }
};

bool startDemoServer(DemoServer& server)
{
    const char* argv[] = { NORLA_NODE, NORLA_DEMO_SERVER, "--port", "0", nullptr };
    int out = -1;
    GErrorPtr error;
    if (!g_spawn_async_with_pipes(nullptr, const_cast<char**>(argv), nullptr, G_SPAWN_DO_NOT_REAP_CHILD, nullptr,
            nullptr, &server.pid, nullptr, &out, nullptr, GErrorOut(error))) {
        std::fprintf(stderr, "demo server: %s\n", error->message);
        return false;
    }
    std::unique_ptr<FILE, int (*)(FILE*)> stream(fdopen(out, "r"), &std::fclose);
    char line[256] = {};
    if (!stream || !std::fgets(line, sizeof line, stream.get()))
        return false;
    std::string text(line);
    auto start = text.find("http://");
    if (start == std::string::npos)
        return false;
    server.origin = text.substr(start, text.find(' ', start) - start);
    return true;
}

// The page's clock ticks in whole milliseconds, finer than one round trip can be told apart: each figure
// "per message" is the time of a block of 100 messages divided by 100. Sequential blocks await each reply
// before the next message; concurrent blocks send all 100 before reading a reply. "all at once" sends every
// message before the first reply and times each from its send to its reply.
constexpr const char* roundTrips = R"JS(
const handler = window.webkit.messageHandlers.norlaShell;
const message = { cmd: "notificationPermission" };
const check = (word) => { if (typeof word !== "string") throw new Error("no permission word"); };
const block = 100;
const perMessage = [];
const began = performance.now();
if (mode === 2) {
  const latencies = new Array(count);
  await Promise.all(Array.from({ length: count }, (_, i) => {
    const sent = performance.now();
    return handler.postMessage(message).then((word) => { check(word); latencies[i] = performance.now() - sent; });
  }));
  perMessage.push(...latencies);
} else {
  for (let done = 0; done < count; done += block) {
    const start = performance.now();
    if (mode === 1) {
      (await Promise.all(Array.from({ length: block }, () => handler.postMessage(message)))).forEach(check);
    } else {
      for (let i = 0; i < block; ++i) check(await handler.postMessage(message));
    }
    perMessage.push((performance.now() - start) / block);
  }
}
const total = performance.now() - began;
perMessage.sort((a, b) => a - b);
return JSON.stringify({ median: perMessage[Math.floor(perMessage.length / 2)],
  p99: perMessage[Math.floor(perMessage.length * 0.99)], total: total, mean: total / count });
)JS";

enum class Mode { sequential, concurrentBlocks, allAtOnce };

bool measureRoundTrips(GtkWebView& webView, int count, Mode mode, bool print = true)
{
    std::optional<Result<Value>> answer;
    webView.callAsyncJavaScript(roundTrips, { { "count", count }, { "mode", static_cast<int>(mode) } },
        ContentWorld::page, [&answer](Result<Value> result) { answer.emplace(std::move(result)); });
    if (!runUntil([&] { return answer.has_value(); }, 300) || !answer->ok()) {
        std::fprintf(stderr, "round trips failed: %s\n",
            answer && !answer->ok() ? answer->error().description().c_str() : "no answer");
        return false;
    }
    auto figures = Value::fromJSON(*answer->value().asString());
    auto number = [&](const char* key) {
        const auto* value = figures ? figures->find(key) : nullptr;
        if (!value)
            return 0.0;
        if (auto integer = value->asInteger())
            return static_cast<double>(*integer);
        return value->asDouble().value_or(0);
    };
    if (!print)
        return true;
    if (mode == Mode::allAtOnce)
        std::printf("all at once %6d messages: %.4f ms per message (%.0f ms in all); each reply %.0f ms after its "
                    "send at the median, %.0f ms at p99\n",
            count, number("mean"), number("total"), number("median"), number("p99"));
    else
        std::printf("%-11s %6d messages in blocks of 100: median %.4f ms, p99 %.4f ms per message; %.4f ms per "
                    "message overall (%.0f ms in all)\n",
            mode == Mode::sequential ? "sequential" : "concurrent", count, number("median"), number("p99"),
            number("mean"), number("total"));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    int messages = 10000;
    int startups = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--messages") == 0)
            messages = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--startups") == 0)
            startups = std::atoi(argv[i + 1]);
    }
    // Everything the host keeps (cookies, key file, recordings) goes to a directory of its own.
    std::string home = (std::filesystem::temp_directory_path() / "norla-bridge-bench-XXXXXX").string();
    if (!mkdtemp(home.data()))
        return 1;
    for (const char* variable : { "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME" })
        setenv(variable, home.c_str(), 1);
    DemoServer server;
    if (!startDemoServer(server))
        return 1;
    std::string appURL = server.origin + "/chat";
    setenv("NorlaAppURL", appURL.c_str(), 1);

    bench::StartupComparison startup(NORLA_OFFICE_BINARY, NORLA_BARE_WINDOW_BINARY, appURL, home);
    if (!startup.runAndPrint(startups))
        std::fprintf(stderr, "start-up comparison failed\n");

    if (!gtk_init_check()) {
        std::fprintf(stderr, "no display (run under xvfb-run -a)\n");
        return 1;
    }
    installSeams();
    auto office = openOffice(appURL);
    int status = 1;
    if (office && runUntil([&] { return office->loaded; }, 60)) {
        // A short warm-up, so that the first figures do not include compiling the page's code.
        measureRoundTrips(*office->webView, 1000, Mode::sequential, false);
        status = measureRoundTrips(*office->webView, messages, Mode::sequential)
                && measureRoundTrips(*office->webView, messages, Mode::concurrentBlocks)
                && measureRoundTrips(*office->webView, messages, Mode::allAtOnce)
            ? 0
            : 1;
    }
    std::fflush(stdout);
    server.stop();
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    std::_Exit(status);
}
