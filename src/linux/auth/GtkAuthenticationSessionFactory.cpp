#include "auth/GtkAuthenticationSessionFactory.h"

#include "auth/GtkAuthenticationSession.h"
#include "platform/Seams.h"
#include "web/WebKitWebViewFactory.h"

#include <stdexcept>

namespace norla {

GtkAuthenticationSessionFactory::GtkAuthenticationSessionFactory(GRef<WebKitNetworkSession> networkSession)
    : m_networkSession(std::move(networkSession))
{
}

GRef<WebKitNetworkSession> GtkAuthenticationSessionFactory::networkSession() const
{
    if (m_networkSession)
        return m_networkSession;
    // Looked up per session, so that this factory holds no WebKit object of the application's.
    auto webViews = std::dynamic_pointer_cast<WebKitWebViewFactory>(seam<WebViewFactory>());
    if (!webViews)
        throw std::logic_error("GtkAuthenticationSessionFactory: the web view factory is not WebKit's");
    return GRef<WebKitNetworkSession>::retain(webViews->persistentSession());
}

std::shared_ptr<AuthenticationSession> GtkAuthenticationSessionFactory::makeSession(
    const Url& url, std::string callbackHost, std::string callbackPath, Completion completion)
{
    return std::make_shared<GtkAuthenticationSession>(url,
        AuthenticationCallback(std::move(callbackHost), std::move(callbackPath)), networkSession(),
        std::move(completion));
}

} // namespace norla
