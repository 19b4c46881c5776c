#pragma once

#include "platform/AuthenticationSession.h"

#include <memory>
#include <string>
#include <vector>

namespace norla::test {

// Sign-in sheets that stay open until the test completes them.
class FakeAuthenticationSession final : public AuthenticationSession {
public:
    void setPresentationContextProvider(std::shared_ptr<AuthenticationPresentationContextProviding> provider) override
    {
        presentationContext = std::move(provider);
    }
    void setPrefersEphemeralWebBrowserSession(bool prefers) override { ephemeral = prefers; }
    bool start() override
    {
        started = true;
        return startSucceeds;
    }
    void cancel() override { cancelled = true; }

    Url url;
    std::string callbackHost;
    std::string callbackPath;
    AuthenticationSessionFactory::Completion completion; // what the platform reports when the sheet closes
    std::shared_ptr<AuthenticationPresentationContextProviding> presentationContext;
    std::optional<bool> ephemeral;
    bool startSucceeds = true;
    bool started = false;
    bool cancelled = false;
};

class FakeAuthenticationSessionFactory final : public AuthenticationSessionFactory {
public:
    std::shared_ptr<AuthenticationSession> makeSession(
        const Url& url, std::string callbackHost, std::string callbackPath, Completion completion) override
    {
        auto session = std::make_shared<FakeAuthenticationSession>();
        session->url = url;
        session->callbackHost = std::move(callbackHost);
        session->callbackPath = std::move(callbackPath);
        session->completion = std::move(completion);
        session->startSucceeds = nextStartSucceeds;
        sessions.push_back(session);
        return session;
    }

    bool nextStartSucceeds = true;
    // Weak: the sign-in owns its sessions; a test sees when one is released.
    std::vector<std::weak_ptr<FakeAuthenticationSession>> sessions;
};

} // namespace norla::test
