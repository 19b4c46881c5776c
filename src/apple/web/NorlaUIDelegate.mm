#include "web/NorlaUIDelegate.h"

#include "foundation/FoundationConversions.h"

using namespace norla;

namespace norla {

SecurityOrigin toSecurityOrigin(WKSecurityOrigin* origin)
{
    return { toString(origin.protocol), toString(origin.host), static_cast<int>(origin.port) };
}

FrameInfo toFrameInfo(WKFrameInfo* frame)
{
    return { frame.isMainFrame == YES, toSecurityOrigin(frame.securityOrigin) };
}

} // namespace norla

namespace {

MediaCaptureType toMediaCaptureType(WKMediaCaptureType type)
{
    switch (type) {
    case WKMediaCaptureTypeCamera:
        return MediaCaptureType::camera;
    case WKMediaCaptureTypeMicrophone:
        return MediaCaptureType::microphone;
    case WKMediaCaptureTypeCameraAndMicrophone:
        return MediaCaptureType::cameraAndMicrophone;
    }
    return MediaCaptureType::cameraAndMicrophone;
}

WKPermissionDecision toPermissionDecision(PermissionDecision decision)
{
    switch (decision) {
    case PermissionDecision::grant:
        return WKPermissionDecisionGrant;
    case PermissionDecision::deny:
        return WKPermissionDecisionDeny;
    case PermissionDecision::prompt:
        return WKPermissionDecisionPrompt;
    }
    return WKPermissionDecisionPrompt;
}

} // namespace

@implementation NorlaUIDelegate {
    std::weak_ptr<UIDelegate> _delegate;
    // The adapter owns this object and outlives it.
    WebView* _webView;
}

- (instancetype)initWithDelegate:(std::weak_ptr<UIDelegate>)delegate webView:(WebView&)webView
{
    if ((self = [super init])) {
        _delegate = std::move(delegate);
        _webView = &webView;
    }
    return self;
}

- (void)webView:(WKWebView*)webView
    requestMediaCapturePermissionForOrigin:(WKSecurityOrigin*)origin
                          initiatedByFrame:(WKFrameInfo*)frame
                                      type:(WKMediaCaptureType)type
                           decisionHandler:(void (^)(WKPermissionDecision decision))decisionHandler
{
    auto delegate = _delegate.lock();
    if (!delegate) {
        decisionHandler(WKPermissionDecisionPrompt);
        return;
    }
    delegate->requestMediaCapturePermission(*_webView, toSecurityOrigin(origin), toFrameInfo(frame),
        toMediaCaptureType(type),
        [decisionHandler](PermissionDecision decision) { decisionHandler(toPermissionDecision(decision)); });
}

@end
