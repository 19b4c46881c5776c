#pragma once

#include "platform/Url.h"

#include <memory>
#include <optional>

namespace norla {

class WebView;

// What the web view host needs of the push controller (`PushNotifications.shared`): the address a
// notification tap left waiting, and the page synchronisation of push registration. Installed through
// Seam<PushNotificationsService>; without one, nothing is pending and nothing is synchronised.
// Called on the main thread.
class PushNotificationsService {
public:
    virtual ~PushNotificationsService() = default;
    // Reads and clears `pendingOpenURL` in one step.
    virtual std::optional<Url> takePendingOpenURL() = 0;
    virtual void clearPendingOpenURL() = 0;
    // Registers or withdraws the device token through the page shown in this web view.
    virtual void syncWithPage(std::shared_ptr<WebView> webView) = 0;
};

} // namespace norla
