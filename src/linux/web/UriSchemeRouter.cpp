#include "web/UriSchemeRouter.h"

#include "foundation/GRef.h"
#include "foundation/GUniquePtr.h"
#include "web/GtkWebView.h"
#include "web/WebKitRefs.h"

#include <gio/gio.h>

namespace norla {

namespace {

    // One request of a custom scheme, answered once: a response, its data and the end, or an error. A
    // task dropped unanswered fails, so that the page's fetch never hangs.
    class GtkUrlSchemeTask final : public UrlSchemeTask {
    public:
        explicit GtkUrlSchemeTask(WebKitURISchemeRequest* request)
            : m_request(GRef<WebKitURISchemeRequest>::retain(request))
        {
        }
        ~GtkUrlSchemeTask() override
        {
            if (!m_answered)
                fail("リクエストに応答がありませんでした");
        }
        GtkUrlSchemeTask(const GtkUrlSchemeTask&) = delete;
        GtkUrlSchemeTask& operator=(const GtkUrlSchemeTask&) = delete;

        std::optional<Url> requestURL() const override
        {
            const char* uri = webkit_uri_scheme_request_get_uri(m_request.get());
            return uri ? parseUrl(uri) : std::nullopt;
        }
        void didReceiveResponse(const UrlSchemeResponse& response) override { m_response = response; }
        void didReceiveData(std::vector<std::uint8_t> data) override
        {
            m_data.insert(m_data.end(), data.begin(), data.end());
        }
        void didFinish() override
        {
            if (m_answered)
                return;
            m_answered = true;
            auto bytes = GRef<GBytes>::adopt(g_bytes_new(m_data.data(), m_data.size()));
            auto stream = GRef<GInputStream>::adopt(g_memory_input_stream_new_from_bytes(bytes.get()));
            auto response = GRef<WebKitURISchemeResponse>::adopt(
                webkit_uri_scheme_response_new(stream.get(), static_cast<gint64>(m_data.size())));
            int status = m_response ? m_response->statusCode : 200;
            webkit_uri_scheme_response_set_status(response.get(), status, nullptr);
            if (m_response) {
                // Content-Type goes in the headers: once headers are set, WebKit ignores set_content_type.
                auto* headers = soup_message_headers_new(SOUP_MESSAGE_HEADERS_RESPONSE);
                for (const auto& [name, value] : m_response->headerFields)
                    soup_message_headers_append(headers, name.c_str(), value.c_str());
                webkit_uri_scheme_response_set_http_headers(response.get(), headers); // takes the headers
            }
            webkit_uri_scheme_request_finish_with_response(m_request.get(), response.get());
        }
        void didFailWithError(const Error& error) override
        {
            if (m_answered)
                return;
            fail(error.description());
        }

    private:
        void fail(const std::string& message)
        {
            m_answered = true;
            GErrorPtr error(g_error_new_literal(G_IO_ERROR, G_IO_ERROR_NOT_FOUND, message.c_str()));
            webkit_uri_scheme_request_finish_error(m_request.get(), error.get());
        }

        GRef<WebKitURISchemeRequest> m_request;
        std::optional<UrlSchemeResponse> m_response;
        std::vector<std::uint8_t> m_data;
        bool m_answered = false;
    };

} // namespace

UriSchemeRouter& UriSchemeRouter::shared()
{
    static UriSchemeRouter router;
    return router;
}

void UriSchemeRouter::route(
    const std::string& scheme, WebKitWebView* webView, std::shared_ptr<UrlSchemeHandler> handler)
{
    m_handlers[{ scheme, webView }] = std::move(handler);
    if (!m_registeredSchemes.insert(scheme).second)
        return;
    WebKitWebContext* context = webkit_web_view_get_context(webView);
    webkit_web_context_register_uri_scheme(context, scheme.c_str(), &UriSchemeRouter::didRequest, this, nullptr);
    // The page's fetch of a recording is a cross-origin request; the handler's headers allow it.
    webkit_security_manager_register_uri_scheme_as_cors_enabled(
        webkit_web_context_get_security_manager(context), scheme.c_str());
}

void UriSchemeRouter::forget(WebKitWebView* webView)
{
    std::erase_if(m_handlers, [webView](const auto& entry) { return entry.first.second == webView; });
}

void UriSchemeRouter::didRequest(WebKitURISchemeRequest* request, gpointer router)
{
    static_cast<UriSchemeRouter*>(router)->start(request);
}

void UriSchemeRouter::start(WebKitURISchemeRequest* request)
{
    GtkUrlSchemeTask task(request);
    WebKitWebView* widget = webkit_uri_scheme_request_get_web_view(request);
    auto entry = m_handlers.find({ webkit_uri_scheme_request_get_scheme(request), widget });
    GtkWebView* webView = widget ? GtkWebView::fromWidget(widget) : nullptr;
    if (entry == m_handlers.end() || !webView)
        return; // the task fails as it goes
    // Handlers answer before returning (they read the file in one piece on the main thread).
    entry->second->startURLSchemeTask(*webView, task);
}

} // namespace norla
