#include "auth/WebAuthenticationSessionFactory.h"

#include "app/UIWindowAdapter.h"
#include "foundation/FoundationConversions.h"

#import <AuthenticationServices/AuthenticationServices.h>

#include <memory>

using namespace norla;

// Gives the session the window the core's provider names (the key window). The session holds this
// object weakly; the adapter below keeps it.
@interface NorlaPresentationContextProvider : NSObject <ASWebAuthenticationPresentationContextProviding>
- (instancetype)initWithProvider:(std::shared_ptr<AuthenticationPresentationContextProviding>)provider
    NS_DESIGNATED_INITIALIZER;
- (instancetype)init NS_UNAVAILABLE;
@end

@implementation NorlaPresentationContextProvider {
    std::shared_ptr<AuthenticationPresentationContextProviding> _provider;
}

- (instancetype)initWithProvider:(std::shared_ptr<AuthenticationPresentationContextProviding>)provider
{
    if ((self = [super init]))
        _provider = std::move(provider);
    return self;
}

- (ASPresentationAnchor)presentationAnchorForWebAuthenticationSession:(ASWebAuthenticationSession*)session
{
    auto anchor = _provider ? _provider->presentationAnchor() : nullptr;
    if (auto* window = dynamic_cast<UIWindowAdapter*>(anchor.get()))
        return window->window();
    // A window of no scene still anchors the sheet rather than failing it.
    return [[UIWindow alloc] initWithFrame:CGRectZero];
}

@end

namespace {

class WebAuthenticationSession final : public AuthenticationSession,
                                       public std::enable_shared_from_this<WebAuthenticationSession> {
public:
    using Completion = AuthenticationSessionFactory::Completion;

    explicit WebAuthenticationSession(Completion completion)
        : m_completion(std::move(completion))
    {
    }

    void open(NSURL* url, NSString* host, NSString* path)
    {
        std::weak_ptr<WebAuthenticationSession> weakSelf = weak_from_this();
        ASWebAuthenticationSessionCallback* callback = [ASWebAuthenticationSessionCallback callbackWithHTTPSHost:host
                                                                                                            path:path];
        m_session =
            [[ASWebAuthenticationSession alloc] initWithURL:url
                                                   callback:callback
                                          completionHandler:^(NSURL* _Nullable callbackURL, NSError* _Nullable error) {
                                              if (auto self = weakSelf.lock())
                                                  self->finish(callbackURL, error);
                                          }];
    }

    void setPresentationContextProvider(std::shared_ptr<AuthenticationPresentationContextProviding> provider) override
    {
        m_provider = [[NorlaPresentationContextProvider alloc] initWithProvider:std::move(provider)];
        m_session.presentationContextProvider = m_provider;
    }

    void setPrefersEphemeralWebBrowserSession(bool prefers) override
    {
        m_session.prefersEphemeralWebBrowserSession = prefers ? YES : NO;
    }

    bool start() override
    {
        if ([m_session start] != YES)
            return false;
        // Retained while it runs, whoever else lets go of it.
        m_running = shared_from_this();
        return true;
    }

    void cancel() override { [m_session cancel]; }

private:
    void finish(NSURL* _Nullable callbackURL, NSError* _Nullable error)
    {
        auto keep = std::exchange(m_running, nullptr);
        if (!m_completion)
            return;
        auto completion = std::exchange(m_completion, nullptr);
        if (error) {
            completion(std::nullopt, toError(error));
            return;
        }
        auto url = toUrl(callbackURL);
        if (!url) {
            completion(std::nullopt, Error::platform("The sign-in ended without a callback URL."));
            return;
        }
        completion(std::move(url), std::nullopt);
    }

    Completion m_completion;
    ASWebAuthenticationSession* _Nullable m_session = nil;
    NorlaPresentationContextProvider* _Nullable m_provider = nil;
    std::shared_ptr<WebAuthenticationSession> m_running;
};

} // namespace

namespace norla {

std::shared_ptr<AuthenticationSession> WebAuthenticationSessionFactory::makeSession(
    const Url& url, std::string callbackHost, std::string callbackPath, Completion completion)
{
    auto session = std::make_shared<WebAuthenticationSession>(std::move(completion));
    NSURL* address = toNSURL(url);
    if (address)
        session->open(address, toNSString(callbackHost), toNSString(callbackPath));
    // Without a URL there is no session to start: start() answers false and nothing completes.
    return session;
}

} // namespace norla
