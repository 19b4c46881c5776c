#pragma once

#include "foundation/GRef.h"
#include "foundation/SignalConnection.h"
#include "web/OfficeWebView.h"

#include <gtk/gtk.h>

#include <memory>

namespace norla {

class GtkWebView;

// One application window: 1280 × 820, the menu bar, and the web view host as its only content.
class OfficeWindow {
public:
    static constexpr int defaultWidth = 1280;
    static constexpr int defaultHeight = 820;

    OfficeWindow(GtkApplication* application, const Url& appURL);
    ~OfficeWindow();
    OfficeWindow(const OfficeWindow&) = delete;
    OfficeWindow& operator=(const OfficeWindow&) = delete;

    GtkWindow* window() const { return m_window.get(); }
    GtkWebView* webView() const;
    const std::shared_ptr<OfficeWebView::Coordinator>& coordinator() const { return m_coordinator; }

private:
    GRef<GtkWindow> m_window;
    std::shared_ptr<OfficeWebView::Coordinator> m_coordinator;
    std::shared_ptr<WebView> m_webView; // the window's view hierarchy owns the web view
    SignalConnection m_titleConnection;
};

} // namespace norla
