// The yardstick of the start-up benchmark: a bare WebKitGTK window, nothing but a web view in a window of
// the application's size, loading one page. Writes the page's address to FILE once its first load has
// finished, then runs until it is ended.
//   norla-bare-window URL FILE
#include <fstream>
#include <gtk/gtk.h>
#include <string>
#include <utility>
#include <webkit/webkit.h>

namespace {

struct LoadLog {
    std::string file;
    bool written = false;
};

void loadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer data)
{
    auto& log = *static_cast<LoadLog*>(data);
    if (event != WEBKIT_LOAD_FINISHED || std::exchange(log.written, true))
        return;
    std::ofstream(log.file, std::ios::app) << webkit_web_view_get_uri(view) << '\n';
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 || !gtk_init_check())
        return 2;
    LoadLog log { argv[2] };
    // The window and its view live as long as the process: it is ended from outside, as the application is.
    auto* window = GTK_WINDOW(gtk_window_new());
    gtk_window_set_default_size(window, 1280, 820);
    auto* webView = WEBKIT_WEB_VIEW(webkit_web_view_new());
    gtk_window_set_child(window, GTK_WIDGET(webView));
    g_signal_connect(webView, "load-changed", G_CALLBACK(loadChanged), &log);
    gtk_window_present(window);
    webkit_web_view_load_uri(webView, argv[1]);
    for (;;)
        g_main_context_iteration(nullptr, TRUE);
}
