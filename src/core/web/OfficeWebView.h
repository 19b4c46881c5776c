#pragma once

#include "platform/Url.h"

#include <memory>
#include <string>
#include <string_view>

namespace norla {

class WebView;

// The origin text the bootstrap scripts compare with the page's location.origin, and the recording
// scheme's cross-origin header: scheme "://" host, and ":" port when one is written. Scheme and host stay
// as stored (no lower-casing); a URL without scheme or host gives its absolute string.
std::string originString(const Url& url);

// The window's only content: builds one web view configured for the web application and hands every
// delegate duty to its Coordinator.
class OfficeWebView {
public:
    class Coordinator;

    static constexpr std::string_view applicationNameForUserAgent = "Version/18.0 Safari/605.1.15 NorlaOfficeMac";

    explicit OfficeWebView(Url appURL)
        : m_appURL(std::move(appURL))
    {
    }

    const Url& appURL() const { return m_appURL; }

    std::shared_ptr<Coordinator> makeCoordinator() const;
    // Builds, registers and starts loading the web view; the platform owns what is returned. Needs the
    // WebViewFactory seam.
    std::shared_ptr<WebView> makeWebView(const std::shared_ptr<Coordinator>& coordinator) const;

private:
    Url m_appURL;
};

} // namespace norla
