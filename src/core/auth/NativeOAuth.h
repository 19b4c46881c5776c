#pragma once

#include "auth/NativeOAuthService.h"
#include "auth/PresentationContext.h"
#include "platform/AuthenticationSession.h"
#include "platform/PassKey.h"

#include <memory>
#include <string>
#include <vector>

namespace norla {

// The native sign-in the page starts with startOAuth: the provider's page in the system's browser sheet,
// until it redirects to the HTTPS callback, whose URL is then loaded in the application's own web view.
// Answers "ok", "cancelled" or "error"; on failure the web view goes to the sign-in page with
// "auth_failed". At most one session at a time: a new run cancels the one showing. Main thread only.
class NativeOAuth final : public NativeOAuthService, public std::enable_shared_from_this<NativeOAuth> {
public:
    static constexpr const char* errorPage = "/auth/login?error=auth_failed";

    // Only make() constructs: instances are always shared, for shared_from_this.
    NativeOAuth(PassKey<NativeOAuth>, std::shared_ptr<AuthenticationSessionFactory> factory,
        std::shared_ptr<AuthenticationPresentationContextProviding> presentationContext);

    static NativeOAuth& shared();
    // Without a factory, Seam<AuthenticationSessionFactory>; without a context, the shared one.
    static std::shared_ptr<NativeOAuth> make(std::shared_ptr<AuthenticationSessionFactory> factory = nullptr,
        std::shared_ptr<AuthenticationPresentationContextProviding> presentationContext = nullptr);

    void run(const Url& url, const std::string& callbackHost, const std::string& callbackPath,
        std::shared_ptr<WebView> webView, const Url& appURL,
        CompletionHandler<void(std::string word)> completion) override;

    bool hasCurrentSession() const { return m_currentSession != nullptr; }

    static std::string normalizedHost(std::string_view host);
    static std::string normalizedPath(std::string_view path);

private:
    void complete(const std::shared_ptr<AuthenticationSession>& session, const std::optional<Url>& callbackURL,
        const std::optional<Error>& error, const std::weak_ptr<WebView>& webView, const Url& appURL,
        const std::shared_ptr<CompletionHandler<void(std::string)>>& pending);

    std::shared_ptr<AuthenticationSessionFactory> m_factory;
    std::shared_ptr<AuthenticationPresentationContextProviding> m_presentationContext;
    std::shared_ptr<AuthenticationSession> m_currentSession;
    bool m_currentSessionStarted = false;
    // Cancelled sessions whose completion has not arrived yet.
    std::vector<std::shared_ptr<AuthenticationSession>> m_endingSessions;
};

} // namespace norla
