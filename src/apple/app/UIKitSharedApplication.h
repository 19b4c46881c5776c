#pragma once

#include "platform/SharedApplication.h"

namespace norla {

// `UIApplication.sharedApplication`: new scenes, the windows of the connected window scenes, and remote
// notification registration. Main thread only.
class UIKitSharedApplication final : public SharedApplication {
public:
    void requestNewScene() override;
    std::vector<std::shared_ptr<Window>> windowSceneWindows() const override;
    std::shared_ptr<Window> makeWindow() override;
    void registerForRemoteNotifications() override;
};

} // namespace norla
