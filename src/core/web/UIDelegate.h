#pragma once

#include "platform/CompletionHandler.h"
#include "web/ScriptMessage.h"

namespace norla {

class WebView;

enum class MediaCaptureType { camera, microphone, cameraAndMicrophone };

// `WKPermissionDecision`.
enum class PermissionDecision { prompt, grant, deny };

// The UI delegate (`WKUIDelegate`), held weakly by the web view. Called on the main thread.
class UIDelegate {
public:
    virtual ~UIDelegate() = default;
    // The handler must be called exactly once.
    virtual void requestMediaCapturePermission(WebView& webView, const SecurityOrigin& origin, const FrameInfo& frame,
        MediaCaptureType type, CompletionHandler<void(PermissionDecision)> decisionHandler)
        = 0;
};

} // namespace norla
