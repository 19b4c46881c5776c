#pragma once

#include "platform/AuthenticationSession.h"

namespace norla {

// Sign-in sheets on `ASWebAuthenticationSession`, ending at an HTTPS callback (host and path).
class WebAuthenticationSessionFactory final : public AuthenticationSessionFactory {
public:
    std::shared_ptr<AuthenticationSession> makeSession(
        const Url& url, std::string callbackHost, std::string callbackPath, Completion completion) override;
};

} // namespace norla
