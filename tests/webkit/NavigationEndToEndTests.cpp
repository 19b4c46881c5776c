// Where links, scripts and window.open take the page in real WebKit on the application's host: in-app
// pages stay, everything else goes to the URL opener, which only writes the URLs down.
#include "WebKitFixture.h"

#include "foundation/GUniquePtr.h"

#include <algorithm>
#include <csignal>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

namespace norla::test {
namespace {

    using NavigationEndToEndTest = WebKitFixture;

    TEST_F(NavigationEndToEndTest, OutsideNavigationsAreHandedToTheOpenerWhileInAppOnesLoadAndFailedSignInsFail)
    {
        useLoadTimeout(seconds(10)); // short for the hanging sign-in, long enough for a busy machine's loads
        auto webView = openOffice("/test/navigate-out.html");
        ASSERT_TRUE(webView);
        auto loadedAt = call(*webView, "return window.loadedAt;");
        ASSERT_TRUE(loadedAt.ok());
        auto click = [&](const char* id) {
            ASSERT_TRUE(call(*webView, "document.getElementById(id).click();", { { "id", id } }).ok()) << id;
        };
        // Cancelled with nothing opened; then the ones handed to the system, from links, a frame and a script.
        click("link-custom");
        click("link-data");
        click("link-external-blank");
        click("link-tel-spaced");
        ASSERT_TRUE(call(*webView, "window.navigateFrameOut();").ok());
        ASSERT_TRUE(call(*webView, "window.navigateOut();").ok());
        // window.open: a web link goes to the opener too; a sign-in host stays with WebKit's own open, which
        // makes no window in the host. Which URLs go where is the script's, tested in jsdom.
        for (const char* url : { "https://accounts.google.com/o/oauth2/v2/auth", "https://example.com/window-open" }) {
            auto opened = call(*webView, "return window.open(url, '_blank') === null;", { { "url", url } });
            EXPECT_TRUE(opened.ok() && opened.value() == Value(true)) << url;
        }
        std::vector<std::string> expected { "https://example.com/outside-blank", "tel:03%201234%205678",
            "https://example.com/in-a-frame", "https://example.com/navigated-by-script",
            "https://example.com/window-open" };
        ASSERT_TRUE(runUntil([&] { return openedURLs().size() >= expected.size(); }, 15));
        auto opened = openedURLs();
        std::ranges::sort(opened);
        std::ranges::sort(expected);
        EXPECT_EQ(opened, expected);
        // Still the same page: nothing replaced it.
        auto stillLoadedAt = call(*webView, "return window.loadedAt;");
        ASSERT_TRUE(stillLoadedAt.ok());
        EXPECT_EQ(stillLoadedAt.value(), loadedAt.value());
        EXPECT_EQ(webView->url()->path, "/test/navigate-out.html");

        // The same host on another port is the application's host: it loads.
        EXPECT_TRUE(waitForLoad(*webView, [&] { click("link-other-port"); }));
        EXPECT_EQ(webView->url()->port, parseUrl(otherOrigin())->port);
        // A sign-in load that fails, or that never answers until the host stops it, lands on the sign-in page
        // with its failure message.
        auto onFailurePage = [&] {
            auto url = webView->url();
            return url && url->path == "/auth/login" && url->query == "error=auth_failed";
        };
        EXPECT_TRUE(waitForLoad(*webView, [&] { coordinator()->load(*parseUrl(origin() + "/auth/broken")); }));
        EXPECT_TRUE(runUntil(onFailurePage, 15));
        coordinator()->load(*parseUrl(origin() + "/auth/hang"));
        ASSERT_TRUE(runUntil([&] { return webView->url() && webView->url()->path == "/auth/hang"; }, 10));
        EXPECT_TRUE(runUntil(onFailurePage, 40));
        EXPECT_EQ(openedURLs().size(), expected.size());
    }

#ifdef NORLA_OFFICE_BINARY
    // The application itself: it loads NorlaAppURL, and the page's frame on another host reaches the
    // desktop's handler for web links, the way it would reach a browser. A switch the program once had
    // for tests is nothing to it. --screenshot makes it quit after the first load.
    TEST_F(NavigationEndToEndTest, TheApplicationLoadsItsUrlAndHandsOutsideFramesToTheDesktopsHandler)
    {
        auto log = dataDirectory() / "application-opened.log";
        auto screenshot = dataDirectory() / "window.png";
        std::unique_ptr<gchar*, decltype(&g_strfreev)> environment(g_get_environ(), &g_strfreev);
        for (const auto& [name, value] :
            { std::pair<const char*, std::string> { "NorlaAppURL", origin() + "/test/frames.html" },
                { "NORLA_TEST_OPENER_LOG", log.string() }, { "XDG_DATA_HOME", (dataDirectory() / "app-data").string() },
                { "XDG_CONFIG_HOME", (dataDirectory() / "app-config").string() },
                { "XDG_CACHE_HOME", (dataDirectory() / "app-cache").string() } })
            environment.reset(g_environ_setenv(environment.release(), name, value.c_str(), TRUE));
        std::string screenshotArgument = screenshot.string();
        const char* argv[] = { NORLA_OFFICE_BINARY, "--screenshot", screenshotArgument.c_str(), nullptr };
        GPid child = 0;
        GErrorPtr error;
        ASSERT_TRUE(g_spawn_async(nullptr, const_cast<char**>(argv), environment.get(), G_SPAWN_DO_NOT_REAP_CHILD,
            nullptr, nullptr, &child, GErrorOut(error)))
            << error->message;
        std::optional<int> status;
        guint watch = g_child_watch_add(
            child, [](GPid, gint wait, gpointer data) { *static_cast<std::optional<int>*>(data) = wait; }, &status);
        bool exited = runUntil([&] { return status.has_value(); }, 60);
        if (!exited) {
            g_source_remove(watch);
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
        g_spawn_close_pid(child);
        ASSERT_TRUE(exited) << "norla-office did not quit after its screenshot";
        EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status;
        EXPECT_GT(std::filesystem::file_size(screenshot), 0u);
        ASSERT_TRUE(runUntil([&] { return !openedURLs().empty(); }, 10)) << "nothing reached the desktop's handler";
        auto line = openedURLs().front();
        EXPECT_TRUE(line.starts_with("http://localhost:") && line.ends_with("/test/frame-post.html")) << line;
        EXPECT_FALSE(std::filesystem::exists(log));
    }
#endif

} // namespace
} // namespace norla::test
