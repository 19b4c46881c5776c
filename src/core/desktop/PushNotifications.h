#pragma once

#include "desktop/PushNotificationsService.h"
#include "platform/BackgroundExecutor.h"
#include "platform/CompletionHandler.h"
#include "platform/KeyValueStore.h"
#include "platform/Result.h"
#include "platform/SharedApplication.h"
#include "platform/UserNotificationCenter.h"
#include "platform/Value.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace norla {

// Remote push registration through the page, and the addresses that notification taps open. The device
// token reaches the server as a fetch run inside the web view, with the page's cookies: registered on
// application pages, withdrawn on the sign-in screen.
//
// Threads: storeDeviceToken, syncWithPage, handleNotificationPayload, openInternalURL and the pending
// open URL belong to the main thread. registerToken and unregisterToken run on the background executor;
// pageFetch calls into the page on the main thread and reads the answer back on the background executor.
class PushNotifications final : public PushNotificationsService {
public:
    static constexpr std::string_view deviceTokenKey = "apns.deviceToken.hex";
    static constexpr std::string_view registeredTokenKey = "apns.registeredToken.hex";
    static constexpr std::string_view registerPath = "/api/push/apns/register";
    static const char* const fetchScript;

    // Members left empty are taken from the installed seams at use.
    struct Dependencies {
        std::shared_ptr<KeyValueStore> defaults;
        std::shared_ptr<UserNotificationCenter> notificationCenter;
        std::shared_ptr<SharedApplication> application;
        std::shared_ptr<BackgroundExecutor> background;
    };

    struct PageFetchResult {
        bool ok = false;
        std::int64_t status = 0;
        bool accepted = false;
        bool operator==(const PageFetchResult&) const = default;
    };

    static PushNotifications& shared();
    explicit PushNotifications(Dependencies dependencies = {});

    // Registers for remote notifications when the user allows notifications (asking once when undecided).
    void authorizeAndRegister();
    void storeDeviceToken(std::span<const std::uint8_t> token);
    void syncWithPage(std::shared_ptr<WebView> webView) override;
    // `done` runs once the attempt is over (for callers that wait; the system does not).
    void registerToken(std::weak_ptr<WebView> webView, UniqueFunction<void()> done = nullptr);
    void unregisterToken(std::weak_ptr<WebView> webView, UniqueFunction<void()> done = nullptr);
    void pageFetch(std::string method, std::string path, Value::Object body, std::weak_ptr<WebView> webView,
        CompletionHandler<void(PageFetchResult)> completion);
    // How the fetch script's answer (or the call's failure) is read.
    static PageFetchResult readPageFetchResult(std::string_view method, const Result<Value>& answer);

    void handleNotificationPayload(const Value& userInfo);
    void openInternalURL(const Url& url);

    std::optional<Url> takePendingOpenURL() override;
    void clearPendingOpenURL() override;
    const std::optional<Url>& pendingOpenURL() const { return m_pendingOpenURL; }
    bool isRegistering() const { return m_registering.load(); }

    static std::string hexToken(std::span<const std::uint8_t> token);

private:
    KeyValueStore& defaults() const;
    std::shared_ptr<BackgroundExecutor> background() const;

    Dependencies m_dependencies;
    std::optional<Url> m_pendingOpenURL;
    // Tested and set in one step: several windows and the token post may register at once.
    std::atomic<bool> m_registering { false };
};

} // namespace norla
