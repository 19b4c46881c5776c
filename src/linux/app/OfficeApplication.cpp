#include "app/OfficeApplication.h"

#include "app/AppURL.h"
#include "app/BuildConfiguration.h"
#include "app/GtkWindowHandle.h"
#include "app/WindowScreenshot.h"
#include "desktop/OfficeAppDelegate.h"
#include "platform/GioNotificationCenter.h"
#include "platform/Seams.h"
#include "platform/SystemLog.h"
#include "platform/UserNotificationCenterDelegate.h"
#include "web/GtkWebView.h"

#include <algorithm>
#include <fstream>
#include <string>

namespace norla {

namespace {

    // A window of ours as the logic sees it. A window made for no scene is ours to destroy.
    class GtkSceneWindow final : public Window, public GtkWindowHandle {
    public:
        enum class Ownership { scene, own };
        GtkSceneWindow(GtkWindow* window, Ownership ownership)
            : m_window(GRef<GtkWindow>::retain(window))
            , m_ownership(ownership)
        {
        }
        ~GtkSceneWindow() override
        {
            if (m_ownership == Ownership::own)
                gtk_window_destroy(m_window.get());
        }
        GtkSceneWindow(const GtkSceneWindow&) = delete;
        GtkSceneWindow& operator=(const GtkSceneWindow&) = delete;
        bool isKeyWindow() const override { return gtk_window_is_active(m_window.get()); }
        GtkWindow* gtkWindow() const override { return m_window.get(); }

    private:
        GRef<GtkWindow> m_window;
        Ownership m_ownership;
    };

    // The page may keep painting after "finished": give it a moment before the picture is taken.
    constexpr guint screenshotSettleMilliseconds = 1500;
    // A page that never finishes still gets its picture.
    constexpr guint screenshotDeadlineSeconds = 30;

} // namespace

std::shared_ptr<OfficeApplication> OfficeApplication::make(Options options)
{
    auto application = std::make_shared<OfficeApplication>(PassKey<OfficeApplication>(), std::move(options));
    std::weak_ptr<OfficeApplication> weakApplication = application;
    auto& connections = application->m_connections;
    GtkApplication* gtkApplication = application->m_application.get();
    connections.push_back(
        connectSignal<void(GApplication*)>(gtkApplication, "startup", [weakApplication](GApplication*) {
            if (auto self = weakApplication.lock())
                self->startup();
        }));
    connections.push_back(
        connectSignal<void(GApplication*)>(gtkApplication, "activate", [weakApplication](GApplication*) {
            if (auto self = weakApplication.lock())
                self->activate();
        }));
    connections.push_back(connectSignal<void(GtkApplication*, GtkWindow*)>(
        gtkApplication, "window-removed", [weakApplication](GtkApplication*, GtkWindow* window) {
            if (auto self = weakApplication.lock())
                self->windowRemoved(window);
        }));
    return application;
}

OfficeApplication::OfficeApplication(PassKey<OfficeApplication>, Options options)
    : m_options(std::move(options))
    , m_application(GRef<GtkApplication>::adopt(gtk_application_new(std::string(build::applicationIdentifier).c_str(),
          // One instance per session owns the window and the recordings: a second launch only activates it.
          // A screenshot run is a one-off of its own and must not hand itself to a running instance.
          m_options.screenshot ? G_APPLICATION_NON_UNIQUE : G_APPLICATION_DEFAULT_FLAGS)))
    , m_menus(MenuModel::build(MenuCommands::groups()))
{
}

OfficeApplication::~OfficeApplication()
{
    m_connections.clear();
    m_windows.clear();
}

int OfficeApplication::run(int argc, char** argv)
{
    int status = g_application_run(G_APPLICATION(m_application.get()), argc, argv);
    return status != 0 ? status : m_exitStatus;
}

void OfficeApplication::startup()
{
    installActions();
    gtk_application_set_menubar(m_application.get(), G_MENU_MODEL(m_menus.menuBar.get()));
    for (const auto& accelerator : m_menus.accelerators) {
        const char* accels[] = { accelerator.accelerator.c_str(), nullptr };
        gtk_application_set_accels_for_action(m_application.get(), accelerator.detailedAction.c_str(), accels);
    }
    // The launch hook of the application delegate: desktop shell, notification permission, registration.
    auto delegate = OfficeAppDelegate::make();
    delegate->didFinishLaunching(std::nullopt);
}

void OfficeApplication::activate()
{
    // Activating again (a second launch) brings the existing window forward, as the platform does.
    if (!m_windows.empty()) {
        gtk_window_present(m_windows.front()->window());
        return;
    }
    openWindow();
}

OfficeWindow& OfficeApplication::openWindow()
{
    auto& window = *m_windows.emplace_back(std::make_unique<OfficeWindow>(m_application.get(), resolveAppURL()));
    if (m_options.screenshot && !m_screenshotArmed)
        armScreenshot(window);
    if (m_options.loadLog)
        armLoadLog(window);
    gtk_window_present(window.window());
    return window;
}

void OfficeApplication::windowRemoved(GtkWindow* window)
{
    std::erase_if(m_windows, [window](const auto& entry) { return entry->window() == window; });
}

std::vector<std::shared_ptr<Window>> OfficeApplication::windowSceneWindows() const
{
    std::vector<std::shared_ptr<Window>> windows;
    windows.reserve(m_windows.size());
    for (const auto& window : m_windows)
        windows.push_back(std::make_shared<GtkSceneWindow>(window->window(), GtkSceneWindow::Ownership::scene));
    return windows;
}

std::shared_ptr<Window> OfficeApplication::makeWindow()
{
    // A window of no scene: a plain toplevel that the caller shows when it needs one.
    auto* window = GTK_WINDOW(gtk_window_new());
    gtk_window_set_application(window, m_application.get());
    return std::make_shared<GtkSceneWindow>(window, GtkSceneWindow::Ownership::own);
}

void OfficeApplication::installActions()
{
    GActionMap* map = G_ACTION_MAP(m_application.get());
    std::weak_ptr<OfficeApplication> weakSelf = weak_from_this();
    auto add = [&](const char* name, const GVariantType* parameter, auto handler) {
        auto action = GRef<GSimpleAction>::adopt(g_simple_action_new(name, parameter));
        m_connections.push_back(connectSignal<void(GSimpleAction*, GVariant*)>(
            action.get(), "activate", [weakSelf, handler](GSimpleAction*, GVariant* value) {
                if (auto self = weakSelf.lock())
                    handler(*self, value);
            }));
        g_action_map_add_action(map, G_ACTION(action.get()));
    };
    add("new-window", nullptr, [](OfficeApplication& self, GVariant*) { self.openWindow(); });
    add("quit", nullptr,
        [](OfficeApplication& self, GVariant*) { g_application_quit(G_APPLICATION(self.m_application.get())); });
    add(MenuModel::commandAction, G_VARIANT_TYPE_INT32, [](OfficeApplication& self, GVariant* value) {
        auto index = static_cast<size_t>(g_variant_get_int32(value));
        if (index < self.m_menus.actions.size())
            self.m_menus.actions[index].perform();
    });
    add(GioNotificationCenter::responseAction, G_VARIANT_TYPE_STRING,
        [](OfficeApplication& self, GVariant* value) { self.notificationResponse(value); });
}

void OfficeApplication::notificationResponse(GVariant* parameter)
{
    // A tap on one of our notifications: its user info reaches the delegate, which opens its address.
    auto userInfo = Value::fromJSON(g_variant_get_string(parameter, nullptr)).value_or(Value());
    if (!m_windows.empty())
        gtk_window_present(m_windows.front()->window());
    if (auto delegate = Seam<UserNotificationCenterDelegate>::find())
        delegate->didReceiveNotificationResponse(std::move(userInfo), [] {});
}

void OfficeApplication::armLoadLog(OfficeWindow& window)
{
    auto file = *std::exchange(m_options.loadLog, std::nullopt);
    auto* webView = window.webView();
    if (!webView)
        return;
    m_connections.push_back(connectSignal<void(WebKitWebView*, WebKitLoadEvent)>(
        webView->widget(), "load-changed", [file, written = false](WebKitWebView* view, WebKitLoadEvent event) mutable {
            if (event != WEBKIT_LOAD_FINISHED || std::exchange(written, true))
                return;
            const char* uri = webkit_web_view_get_uri(view);
            std::ofstream(file, std::ios::app) << (uri ? uri : "") << '\n';
        }));
}

void OfficeApplication::armScreenshot(OfficeWindow& window)
{
    m_screenshotArmed = true;
    auto* webView = window.webView();
    if (!webView)
        return;
    std::weak_ptr<OfficeApplication> weakSelf = weak_from_this();
    GtkWindow* gtkWindow = window.window();
    auto take = [weakSelf, gtkWindow] {
        auto self = weakSelf.lock();
        if (!self || !self->m_options.screenshot)
            return;
        auto file = *std::exchange(self->m_options.screenshot, std::nullopt);
        bool stillOpen = std::any_of(self->m_windows.begin(), self->m_windows.end(),
            [gtkWindow](const auto& entry) { return entry->window() == gtkWindow; });
        std::string failure = stillOpen ? saveWindowScreenshot(gtkWindow, file) : "the window was closed";
        if (failure.empty())
            logLine("NorlaOffice: screenshot saved to " + file.string());
        else
            logLine("NorlaOffice: screenshot failed: " + failure);
        self->m_exitStatus = failure.empty() ? 0 : 1;
        g_application_quit(G_APPLICATION(self->m_application.get()));
    };
    using Take = decltype(take);
    auto onTimeout = [](gpointer data) -> gboolean {
        (*static_cast<Take*>(data))();
        return G_SOURCE_REMOVE;
    };
    auto release = [](gpointer data) { std::unique_ptr<Take>(static_cast<Take*>(data)); };
    g_timeout_add_seconds_full(
        G_PRIORITY_DEFAULT, screenshotDeadlineSeconds, onTimeout, std::make_unique<Take>(take).release(), release);
    m_connections.push_back(connectSignal<void(WebKitWebView*, WebKitLoadEvent)>(webView->widget(), "load-changed",
        [take, onTimeout, release, scheduled = false](WebKitWebView*, WebKitLoadEvent event) mutable {
            if (event != WEBKIT_LOAD_FINISHED || scheduled)
                return;
            scheduled = true;
            g_timeout_add_full(G_PRIORITY_DEFAULT, screenshotSettleMilliseconds, onTimeout,
                std::make_unique<Take>(take).release(), release);
        }));
}

} // namespace norla
