#include "auth/NativeOAuth.h"

#include "app/AppURL.h"
#include "platform/MainExecutor.h"
#include "platform/Seams.h"
#include "platform/WhitespaceTrimming.h"
#include "web/WebView.h"

#include <algorithm>

namespace norla {

namespace {

    void load(const std::weak_ptr<WebView>& webView, const Url& url)
    {
        if (auto view = webView.lock())
            view->load(UrlRequest { .url = url });
    }

    void loadErrorPage(const std::weak_ptr<WebView>& webView, const Url& appURL)
    {
        if (auto page = resolveUrl(appURL, NativeOAuth::errorPage))
            load(webView, *page);
    }

    // The page's answer, given at most once: a session that failed to start may still be completed by
    // the platform later.
    using SharedAnswer = std::shared_ptr<CompletionHandler<void(std::string)>>;
    void answer(const SharedAnswer& pending, std::string word)
    {
        if (*pending)
            (*pending)(std::move(word));
    }

} // namespace

NativeOAuth& NativeOAuth::shared()
{
    static const std::shared_ptr<NativeOAuth> instance = make();
    return *instance;
}

std::shared_ptr<NativeOAuth> NativeOAuth::make(std::shared_ptr<AuthenticationSessionFactory> factory,
    std::shared_ptr<AuthenticationPresentationContextProviding> presentationContext)
{
    return std::make_shared<NativeOAuth>(PassKey<NativeOAuth>(), std::move(factory), std::move(presentationContext));
}

NativeOAuth::NativeOAuth(PassKey<NativeOAuth>, std::shared_ptr<AuthenticationSessionFactory> factory,
    std::shared_ptr<AuthenticationPresentationContextProviding> presentationContext)
    : m_factory(std::move(factory))
    , m_presentationContext(
          presentationContext ? std::move(presentationContext) : std::make_shared<PresentationContext>())
{
}

std::string NativeOAuth::normalizedHost(std::string_view host)
{
    return lowercased(trimmingWhitespacesAndNewlines(host));
}

std::string NativeOAuth::normalizedPath(std::string_view path)
{
    std::string normalized = path.starts_with('/') ? "" : "/";
    normalized += path;
    return normalized;
}

void NativeOAuth::run(const Url& url, const std::string& callbackHost, const std::string& callbackPath,
    std::shared_ptr<WebView> webView, const Url& appURL, CompletionHandler<void(std::string word)> completion)
{
    if (m_currentSession) {
        // A session that was showing is kept alive until the platform reports how it ended; one that never
        // started has nothing more to report.
        if (m_currentSessionStarted)
            m_endingSessions.push_back(m_currentSession);
        m_currentSession->cancel();
    }

    auto factory = m_factory ? m_factory : seam<AuthenticationSessionFactory>();
    auto pending = std::make_shared<CompletionHandler<void(std::string)>>(std::move(completion));
    auto self = std::weak_ptr<NativeOAuth>(shared_from_this());
    auto sessionHolder = std::make_shared<std::weak_ptr<AuthenticationSession>>();
    std::weak_ptr<WebView> weakView = webView;

    auto session = factory->makeSession(url, normalizedHost(callbackHost), normalizedPath(callbackPath),
        [self, sessionHolder, weakView, appURL, pending](std::optional<Url> callbackURL, std::optional<Error> error) {
            postToMain([self, sessionHolder, weakView, appURL, pending, callbackURL = std::move(callbackURL),
                           error = std::move(error)] {
                if (auto oauth = self.lock())
                    oauth->complete(sessionHolder->lock(), callbackURL, error, weakView, appURL, pending);
            });
        });
    *sessionHolder = session;
    session->setPresentationContextProvider(m_presentationContext);
    session->setPrefersEphemeralWebBrowserSession(false);
    m_currentSession = session;
    m_currentSessionStarted = session->start();

    if (!m_currentSessionStarted) {
        // It stays the current session until the next run replaces it.
        loadErrorPage(weakView, appURL);
        answer(pending, "error");
    }
}

void NativeOAuth::complete(const std::shared_ptr<AuthenticationSession>& session, const std::optional<Url>& callbackURL,
    const std::optional<Error>& error, const std::weak_ptr<WebView>& webView, const Url& appURL,
    const std::shared_ptr<CompletionHandler<void(std::string)>>& pending)
{
    // A superseded session that ends must not clear the newer one, which lives until its own completion.
    if (session && m_currentSession == session)
        m_currentSession.reset();
    std::erase(m_endingSessions, session);

    if (error && error->is(AuthenticationSessionError::canceledLogin)) {
        loadErrorPage(webView, appURL);
        answer(pending, "cancelled");
    } else if (callbackURL) {
        load(webView, *callbackURL);
        answer(pending, "ok");
    } else {
        loadErrorPage(webView, appURL);
        answer(pending, "error");
    }
}

} // namespace norla
