#include "app/OfficeWindow.h"

#include "web/GtkWebView.h"
#include "web/OfficeWebViewCoordinator.h"

namespace norla {

namespace {
    constexpr const char* applicationName = "NorlaOffice";
}

OfficeWindow::OfficeWindow(GtkApplication* application, const Url& appURL)
    : m_window(GRef<GtkWindow>::retain(GTK_WINDOW(gtk_application_window_new(application))))
{
    gtk_window_set_default_size(m_window.get(), defaultWidth, defaultHeight);
    gtk_window_set_title(m_window.get(), applicationName);
    gtk_application_window_set_show_menubar(GTK_APPLICATION_WINDOW(m_window.get()), TRUE);

    OfficeWebView host(appURL);
    m_coordinator = host.makeCoordinator();
    m_webView = host.makeWebView(m_coordinator);
    if (auto* view = webView()) {
        gtk_window_set_child(m_window.get(), GTK_WIDGET(view->widget()));
        // The page's title names the window, like a browser tab.
        m_titleConnection = connectSignal<void(WebKitWebView*, GParamSpec*)>(
            view->widget(), "notify::title", [window = m_window.get()](WebKitWebView* widget, GParamSpec*) {
                const char* title = webkit_web_view_get_title(widget);
                gtk_window_set_title(window, title && *title ? title : applicationName);
            });
    }
}

OfficeWindow::~OfficeWindow()
{
    m_titleConnection.disconnect();
    // The coordinator goes first: its observers stop before the web view they act on.
    m_coordinator.reset();
    m_webView.reset();
}

GtkWebView* OfficeWindow::webView() const { return dynamic_cast<GtkWebView*>(m_webView.get()); }

} // namespace norla
