// NorlaOffice on Linux: installs the live implementation of every seam, then runs the GTK application.
//
//   norla-office [--screenshot FILE] | --help
//
// The web application's URL comes from the environment variable NorlaAppURL, else the production origin.
// With NORLA_LOAD_LOG=FILE, the address of the first finished page load is written to FILE (benchmarks).

#include "app/BuildConfiguration.h"
#include "app/GtkNoticePresenter.h"
#include "app/OfficeApplication.h"
#include "auth/GtkAuthenticationSessionFactory.h"
#include "desktop/BridgeTargets.h"
#include "platform/BackgroundExecutor.h"
#include "platform/EnvironmentInfoDictionary.h"
#include "platform/GLibMainExecutor.h"
#include "platform/GLibUuidGenerator.h"
#include "platform/GUriParser.h"
#include "platform/GioNotificationCenter.h"
#include "platform/GioUrlOpener.h"
#include "platform/KeyFileStore.h"
#include "platform/LazyRecordingBackend.h"
#include "platform/Seams.h"
#include "platform/SyslogSystemLog.h"
#include "platform/XdgApplicationSupport.h"
#include "web/WebKitWebViewFactory.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

using namespace norla;

constexpr const char* helpText
    = "usage: norla-office [--screenshot FILE]\n"
      "\n"
      "Shows the Norla web application in a window of its own, with meeting recording, desktop\n"
      "notifications, native sign-in, menus and shortcuts. One instance runs per desktop session: starting\n"
      "it again brings the running window to the front.\n"
      "\n"
      "  --screenshot FILE  save a PNG of the window once its first page has loaded, then quit\n"
      "  -h, --help         show this help\n"
      "\n"
      "Environment:\n"
      "  NorlaAppURL        the web application's address instead of the production one\n"
      "\n"
      "Recordings are kept in $XDG_DATA_HOME/norla-office/recordings; see norla-rec(1).\n";

struct CommandLine {
    OfficeApplication::Options options;
    bool help = false;
};

std::optional<CommandLine> parseCommandLine(int argc, char** argv)
{
    CommandLine commandLine;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc)
            commandLine.options.screenshot = argv[++i];
        else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            commandLine.help = true;
        else
            return std::nullopt;
    }
    return commandLine;
}

void installPlatformSeams()
{
    Seam<MainExecutor>::install(std::make_shared<GLibMainExecutor>());
    Seam<SystemLog>::install(std::make_shared<SyslogSystemLog>());
    Seam<Clock>::install(std::make_shared<SteadyClock>());
    Seam<InfoDictionary>::install(std::make_shared<EnvironmentInfoDictionary>());
    Seam<UrlParser>::install(std::make_shared<GUriParser>());
    Seam<KeyValueStore>::install(std::make_shared<KeyFileStore>());
    Seam<UrlOpener>::install(std::make_shared<GioUrlOpener>());
    Seam<UserNotificationCenter>::install(
        std::make_shared<GioNotificationCenter>(std::string(build::applicationIdentifier)));
    Seam<UuidGenerator>::install(std::make_shared<GLibUuidGenerator>());
    Seam<BackgroundExecutor>::install(std::make_shared<ThreadBackgroundExecutor>());
    Seam<ApplicationSupport>::install(std::make_shared<XdgApplicationSupport>());
    Seam<WebViewFactory>::install(std::make_shared<WebKitWebViewFactory>());
    Seam<AuthenticationSessionFactory>::install(std::make_shared<GtkAuthenticationSessionFactory>());
}

// The recorder's seams come from the recording module, loaded on the first recording operation: a session
// that never records starts and runs without PulseAudio and FFmpeg. It is looked for beside the program
// (the build tree), then where it is installed.
void installRecordingSeams()
{
    std::error_code error;
    auto directory = std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
    installLazyRecordingBackend({ directory / "norla-recording.so", directory / NORLA_RECORDING_MODULE_FROM_BINDIR });
}

} // namespace

int main(int argc, char** argv)
{
    auto commandLine = parseCommandLine(argc, argv);
    if (!commandLine) {
        std::fprintf(stderr, "usage: %s [--screenshot FILE]; see '%s --help'\n", argv[0], argv[0]);
        return 2;
    }
    if (commandLine->help) {
        std::fputs(helpText, stdout);
        return 0;
    }
    if (const char* loadLog = std::getenv("NORLA_LOAD_LOG"); loadLog && *loadLog)
        commandLine->options.loadLog = loadLog;
    // The desktop matches windows to the launcher's entry by this name (the X11 class, StartupWMClass).
    g_set_prgname(std::string(build::applicationIdentifier).c_str());
    installPlatformSeams();
    installRecordingSeams();

    auto application = OfficeApplication::make(std::move(commandLine->options));
    Seam<SharedApplication>::install(application);
    Seam<NoticePresenter>::install(std::make_shared<GtkNoticePresenter>(application->application()));
    installBridgeTargets();

    // GApplication would take our options for its own: it sees only the program name.
    int status = application->run(1, argv);

    // The seams hold GTK and WebKit objects: release them while the toolkit is still there.
    Seam<NoticePresenter>::install(nullptr);
    Seam<SharedApplication>::install(nullptr);
    Seam<WebViewFactory>::install(nullptr);
    return status;
}
