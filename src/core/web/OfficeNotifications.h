#pragma once

#include <string_view>

// The in-process notifications by which menus and controllers reach the page without holding a web view.
// All go to NotificationCenter::defaultCenter().
namespace norla {

// Object: the Url to load. Posted by openInternalURL just after it stored the same URL as the pending
// open URL. The frontmost coordinator loads it.
inline constexpr std::string_view officeOpenInternalURL = "officeOpenInternalURL";
// No object. A new device token was stored; every coordinator syncs push registration with its page.
inline constexpr std::string_view officeAPNsTokenReady = "officeAPNsTokenReady";
// No object. The frontmost coordinator reloads its page.
inline constexpr std::string_view officeReload = "officeReload";
// Object: script source (std::string); user info: optional boolean `frontOnly`. Every coordinator
// evaluates it, or only the frontmost when `frontOnly` is true.
inline constexpr std::string_view officeEvaluate = "officeEvaluate";
// Object: an application path (std::string). The frontmost coordinator loads it on the application URL.
inline constexpr std::string_view officeOpenPath = "officeOpenPath";
// Object: the error's description (std::string). From the system-audio capture to the desktop shell
// controller; coordinators do not observe it.
inline constexpr std::string_view officeCaptureFailed = "officeCaptureFailed";

// The user-info key of officeEvaluate.
inline constexpr std::string_view frontOnlyKey = "frontOnly";

} // namespace norla
