#include "desktop/PushNotifications.h"

#include "app/AppURL.h"
#include "app/BuildConfiguration.h"
#include "platform/MainExecutor.h"
#include "platform/NotificationCenter.h"
#include "platform/Seams.h"
#include "web/OfficeNotifications.h"
#include "web/WebView.h"

namespace norla {

const char* const PushNotifications::fetchScript = R"JS(
const response = await fetch(path, {
  method,
  credentials: "include",
  headers: { "Content-Type": "application/json" },
  body: JSON.stringify(body),
});
const text = await response.text();
let json = null;
if (text.length > 0) {
  try { json = JSON.parse(text); } catch (error) { json = null; }
}
return { ok: response.ok, status: response.status, json };
)JS";

PushNotifications& PushNotifications::shared()
{
    static PushNotifications instance;
    return instance;
}

PushNotifications::PushNotifications(Dependencies dependencies)
    : m_dependencies(std::move(dependencies))
{
}

KeyValueStore& PushNotifications::defaults() const
{
    return m_dependencies.defaults ? *m_dependencies.defaults : *seam<KeyValueStore>();
}

std::shared_ptr<BackgroundExecutor> PushNotifications::background() const
{
    return m_dependencies.background ? m_dependencies.background : seam<BackgroundExecutor>();
}

std::string PushNotifications::hexToken(std::span<const std::uint8_t> token)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(token.size() * 2);
    for (auto byte : token) {
        hex += digits[byte >> 4];
        hex += digits[byte & 0x0f];
    }
    return hex;
}

void PushNotifications::authorizeAndRegister()
{
    auto center
        = m_dependencies.notificationCenter ? m_dependencies.notificationCenter : seam<UserNotificationCenter>();
    auto application = m_dependencies.application ? m_dependencies.application : seam<SharedApplication>();
    // The answers arrive on a thread of the center's choosing; registering belongs to the main thread.
    auto registerOnMain
        = [application] { postToMain([application] { application->registerForRemoteNotifications(); }); };
    center->notificationSettings([center, registerOnMain](NotificationAuthorizationStatus status) {
        switch (status) {
        case NotificationAuthorizationStatus::authorized:
        case NotificationAuthorizationStatus::provisional:
        case NotificationAuthorizationStatus::ephemeral:
            registerOnMain();
            return;
        case NotificationAuthorizationStatus::notDetermined:
            center->requestAuthorization({ .alert = true, .sound = true, .badge = true },
                [registerOnMain](bool granted, std::optional<std::string>) {
                    if (granted)
                        registerOnMain();
                });
            return;
        case NotificationAuthorizationStatus::denied:
            return;
        }
    });
}

void PushNotifications::storeDeviceToken(std::span<const std::uint8_t> token)
{
    auto hex = hexToken(token);
    defaults().setString(deviceTokenKey, hex);
    if (defaults().string(registeredTokenKey) != hex)
        defaults().remove(registeredTokenKey);
    NotificationCenter::defaultCenter().post(std::string(officeAPNsTokenReady));
}

void PushNotifications::syncWithPage(std::shared_ptr<WebView> webView)
{
    if (!webView)
        return;
    auto url = webView->url();
    if (!url || !url->host || !allowedHosts().contains(lowercased(*url->host)))
        return;
    std::weak_ptr<WebView> weak = webView;
    if (url->path.starts_with("/auth/login"))
        background()->run([this, weak] { unregisterToken(weak); });
    else
        background()->run([this, weak] { registerToken(weak); });
}

void PushNotifications::registerToken(std::weak_ptr<WebView> webView, UniqueFunction<void()> done)
{
    auto finish = [&done] {
        if (done)
            done();
    };
    auto deviceToken = defaults().string(deviceTokenKey);
    if (!deviceToken || deviceToken->empty())
        return finish();
    if (defaults().string(registeredTokenKey) == deviceToken)
        return finish();
    if (m_registering.exchange(true))
        return finish();

    Value::Object body {
        { "deviceToken", *deviceToken },
        { "environment", "production" },
        { "bundleId", std::string(build::applicationIdentifier) },
    };
    pageFetch("POST", std::string(registerPath), std::move(body), std::move(webView),
        [this, token = *deviceToken, done = std::move(done)](PageFetchResult result) mutable {
            // A 401 leaves everything as it was: the page is not signed in (yet).
            if (result.status != 401 && result.ok && result.accepted)
                defaults().setString(registeredTokenKey, token);
            m_registering.store(false);
            if (done)
                done();
        });
}

void PushNotifications::unregisterToken(std::weak_ptr<WebView> webView, UniqueFunction<void()> done)
{
    auto registered = defaults().string(registeredTokenKey);
    if (!registered || registered->empty()) {
        if (done)
            done();
        return;
    }
    Value::Object body { { "deviceToken", *registered } };
    pageFetch("DELETE", std::string(registerPath), std::move(body), std::move(webView),
        [this, done = std::move(done)](PageFetchResult result) mutable {
            if (result.ok || result.status == 401)
                defaults().remove(registeredTokenKey);
            if (done)
                done();
        });
}

void PushNotifications::pageFetch(std::string method, std::string path, Value::Object body,
    std::weak_ptr<WebView> webView, CompletionHandler<void(PageFetchResult)> completion)
{
    auto executor = background();
    postToMain([executor, method = std::move(method), path = std::move(path), body = std::move(body),
                   webView = std::move(webView), completion = std::move(completion)]() mutable {
        auto readBack = [executor, method, completion = std::move(completion)](Result<Value> answer) mutable {
            executor->run(
                [method = std::move(method), completion = std::move(completion), answer = std::move(answer)]() mutable {
                    completion(readPageFetchResult(method, answer));
                });
        };
        auto view = webView.lock();
        if (!view) {
            readBack(Error::platform("the web view is gone"));
            return;
        }
        Value::Object arguments {
            { "path", std::move(path) },
            { "method", method },
            { "body", Value(std::move(body)) },
        };
        view->callAsyncJavaScript(fetchScript, std::move(arguments), ContentWorld::page, std::move(readBack));
    });
}

PushNotifications::PageFetchResult PushNotifications::readPageFetchResult(
    std::string_view method, const Result<Value>& answer)
{
    if (!answer || !answer.value().isObject())
        return {};
    const auto& object = answer.value();
    PageFetchResult result;
    if (auto* ok = object.find("ok"); ok && ok->asBool())
        result.ok = *ok->asBool();
    if (auto* status = object.find("status")) {
        if (auto integer = status->asInteger())
            result.status = *integer;
        else if (auto number = status->asDouble(); number && *number > -9.2e18 && *number < 9.2e18)
            result.status = static_cast<std::int64_t>(*number);
    }
    if (method == "DELETE") {
        result.accepted = result.ok;
    } else if (auto* json = object.find("json"); json && json->isObject()) {
        if (auto* accepted = json->find("ok"); accepted && accepted->asBool())
            result.accepted = *accepted->asBool();
    }
    return result;
}

void PushNotifications::handleNotificationPayload(const Value& userInfo)
{
    auto* text = userInfo.find("url") ? userInfo.find("url")->asString() : nullptr;
    if (!text)
        return;
    if (auto url = internalURL(*text))
        openInternalURL(*url);
}

void PushNotifications::openInternalURL(const Url& url)
{
    m_pendingOpenURL = url;
    NotificationCenter::defaultCenter().post(std::string(officeOpenInternalURL), url);
}

std::optional<Url> PushNotifications::takePendingOpenURL() { return std::exchange(m_pendingOpenURL, std::nullopt); }

void PushNotifications::clearPendingOpenURL() { m_pendingOpenURL.reset(); }

} // namespace norla
