#pragma once

#include <memory>
#include <string_view>
#include <vector>

namespace norla {

// A window of one of the application's scenes, as far as the logic needs to tell windows apart.
class Window {
public:
    virtual ~Window() = default;
    virtual bool isKeyWindow() const = 0;
};

// The shared application (`UIApplication.shared`): scenes, their windows and remote notifications. Called
// on the main thread.
class SharedApplication {
public:
    virtual ~SharedApplication() = default;
    // `requestSceneSessionActivation:` with no session, user activity, options or error handler: a new
    // application window.
    virtual void requestNewScene() = 0;
    // The windows of all connected window scenes, in the platform's order.
    virtual std::vector<std::shared_ptr<Window>> windowSceneWindows() const = 0;
    // A new window that belongs to no scene yet.
    virtual std::shared_ptr<Window> makeWindow() = 0;
    // `registerForRemoteNotifications`: the token, if the platform has one, arrives at the application
    // delegate later. Platforms without remote notifications do nothing.
    virtual void registerForRemoteNotifications() = 0;
};

// Scene lifecycle notifications, posted by the platform to the default notification center (no object).
inline constexpr std::string_view sceneDidEnterBackgroundNotification = "UISceneDidEnterBackgroundNotification";
inline constexpr std::string_view sceneWillEnterForegroundNotification = "UISceneWillEnterForegroundNotification";

} // namespace norla
