#pragma once

#include "platform/Error.h"
#include "platform/SharedApplication.h"
#include "platform/UniqueFunction.h"
#include "platform/Url.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace norla {

// The authentication session's own errors (`ASWebAuthenticationSessionError`).
enum class AuthenticationSessionError {
    canceledLogin = 1,
    presentationContextNotProvided = 2,
    presentationContextInvalid = 3,
};

inline std::string_view errorDomain(AuthenticationSessionError) { return "ASWebAuthenticationSessionErrorDomain"; }
inline std::string errorDescription(AuthenticationSessionError error)
{
    switch (error) {
    case AuthenticationSessionError::canceledLogin:
        return "ログインがキャンセルされました";
    case AuthenticationSessionError::presentationContextNotProvided:
        return "ログイン画面を表示する場所がありません";
    case AuthenticationSessionError::presentationContextInvalid:
        return "ログイン画面を表示できません";
    }
    return "ログインできませんでした";
}

// Gives the window over which a session shows its sheet (`ASWebAuthenticationPresentationContextProviding`).
class AuthenticationPresentationContextProviding {
public:
    virtual ~AuthenticationPresentationContextProviding() = default;
    virtual std::shared_ptr<Window> presentationAnchor() = 0;
};

// One sign-in in the system's browser sheet (`ASWebAuthenticationSession`). Used on the main thread.
class AuthenticationSession {
public:
    virtual ~AuthenticationSession() = default;
    virtual void setPresentationContextProvider(std::shared_ptr<AuthenticationPresentationContextProviding> provider)
        = 0;
    virtual void setPrefersEphemeralWebBrowserSession(bool prefers) = 0;
    // True when the sheet was shown.
    virtual bool start() = 0;
    // The sheet goes away; the completion then reports what the platform reports (on macOS the
    // cancelled-login error).
    virtual void cancel() = 0;
};

// Creates sessions that end when a navigation reaches https://<host><path>
// (`ASWebAuthenticationSessionCallback callbackWithHTTPSHost:path:`). The completion runs once, on any
// thread, with the callback URL or an error, once a started session ends; a session that did not start
// may never complete.
class AuthenticationSessionFactory {
public:
    using Completion = UniqueFunction<void(std::optional<Url> callbackURL, std::optional<Error> error)>;

    virtual ~AuthenticationSessionFactory() = default;
    virtual std::shared_ptr<AuthenticationSession> makeSession(
        const Url& url, std::string callbackHost, std::string callbackPath, Completion completion)
        = 0;
};

} // namespace norla
