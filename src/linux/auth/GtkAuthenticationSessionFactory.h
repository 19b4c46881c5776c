#pragma once

#include "foundation/GRef.h"
#include "platform/AuthenticationSession.h"

#include <webkit/webkit.h>

namespace norla {

// Makes sign-in sheets on GTK. They browse on the application's network session: by default the
// persistent one of the installed web view factory, which must then be WebKit's.
class GtkAuthenticationSessionFactory final : public AuthenticationSessionFactory {
public:
    GtkAuthenticationSessionFactory() = default;
    explicit GtkAuthenticationSessionFactory(GRef<WebKitNetworkSession> networkSession);

    std::shared_ptr<AuthenticationSession> makeSession(
        const Url& url, std::string callbackHost, std::string callbackPath, Completion completion) override;

private:
    GRef<WebKitNetworkSession> networkSession() const;

    GRef<WebKitNetworkSession> m_networkSession;
};

} // namespace norla
