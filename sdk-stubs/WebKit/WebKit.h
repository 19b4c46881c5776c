// WebKit for UIKit (Mac Catalyst compiles the iOS variant: WKWebView is a UIView), as far as the backend
// uses it. Delegate methods the backend implements are @required here; WebKit declares them @optional.
#pragma once

#import <Foundation/Foundation.h>
#import <UIKit/UIKit.h>

NS_ASSUME_NONNULL_BEGIN

@class WKWebView, WKWebViewConfiguration, WKNavigation, WKNavigationAction, WKFrameInfo, WKSecurityOrigin,
    WKScriptMessage, WKUserContentController, WKWindowFeatures;

// [WK WKContentWorld.h] (macOS 11; init/new unavailable); defaultClientWorld (unconfirmed)
@interface WKContentWorld : NSObject
+ (instancetype)new NS_UNAVAILABLE;
- (instancetype)init NS_UNAVAILABLE;
@property (class, nonatomic, readonly) WKContentWorld* pageWorld;
@property (class, nonatomic, readonly) WKContentWorld* defaultClientWorld;
+ (WKContentWorld*)worldWithName:(NSString*)name;
@end

// [WK WKSecurityOrigin.h]; port: 0 for the scheme's default (unconfirmed)
@interface WKSecurityOrigin : NSObject
+ (instancetype)new NS_UNAVAILABLE;
- (instancetype)init NS_UNAVAILABLE;
@property (nonatomic, readonly, copy) NSString* protocol;
@property (nonatomic, readonly, copy) NSString* host;
@property (nonatomic, readonly) NSInteger port;
@end

// [WK WKFrameInfo.h]
@interface WKFrameInfo : NSObject <NSCopying>
@property (nonatomic, readonly, getter=isMainFrame) BOOL mainFrame;
@property (nonatomic, readonly) WKSecurityOrigin* securityOrigin;
@end

// [WK WKScriptMessage.h]
@interface WKScriptMessage : NSObject
@property (nonatomic, readonly, copy) id body;
@property (nonatomic, readonly, copy) NSString* name;
@property (nonatomic, readonly, copy) WKFrameInfo* frameInfo;
@end

// [WK WKScriptMessageHandlerWithReply.h] required, 11.0
@protocol WKScriptMessageHandlerWithReply <NSObject>
@required
- (void)userContentController:(WKUserContentController*)userContentController
      didReceiveScriptMessage:(WKScriptMessage*)message
                 replyHandler:(void (^)(id _Nullable reply, NSString* _Nullable errorMessage))replyHandler;
@end

// [WK WKUserScript.h]
typedef NS_ENUM(NSInteger, WKUserScriptInjectionTime) {
    WKUserScriptInjectionTimeAtDocumentStart,
    WKUserScriptInjectionTimeAtDocumentEnd
};
@interface WKUserScript : NSObject <NSCopying>
- (instancetype)initWithSource:(NSString*)source
                 injectionTime:(WKUserScriptInjectionTime)injectionTime
              forMainFrameOnly:(BOOL)forMainFrameOnly;
@end

// [WK WKUserContentController.h]
@interface WKUserContentController : NSObject
- (void)addUserScript:(WKUserScript*)userScript;
- (void)addScriptMessageHandlerWithReply:(id<WKScriptMessageHandlerWithReply>)scriptMessageHandlerWithReply
                            contentWorld:(WKContentWorld*)contentWorld
                                    name:(NSString*)name;
@end

// [WK WKURLSchemeTask.h]
@protocol WKURLSchemeTask <NSObject>
@property (nonatomic, readonly, copy) NSURLRequest* request;
- (void)didReceiveResponse:(NSURLResponse*)response;
- (void)didReceiveData:(NSData*)data;
- (void)didFinish;
- (void)didFailWithError:(NSError*)error;
@end

// [WK WKURLSchemeHandler.h] both required, 10.13
@protocol WKURLSchemeHandler <NSObject>
@required
- (void)webView:(WKWebView*)webView startURLSchemeTask:(id<WKURLSchemeTask>)urlSchemeTask;
- (void)webView:(WKWebView*)webView stopURLSchemeTask:(id<WKURLSchemeTask>)urlSchemeTask;
@end

// [WK WKWebsiteDataStore.h]
@interface WKWebsiteDataStore : NSObject
+ (WKWebsiteDataStore*)defaultDataStore;
@end

// [WK WKWebViewConfiguration.h]; the two media properties are the iOS variant's (unconfirmed)
typedef NS_OPTIONS(NSUInteger, WKAudiovisualMediaTypes) {
    WKAudiovisualMediaTypeNone = 0,
    WKAudiovisualMediaTypeAudio = 1 << 0,
    WKAudiovisualMediaTypeVideo = 1 << 1,
    WKAudiovisualMediaTypeAll = NSUIntegerMax
};
@interface WKWebViewConfiguration : NSObject <NSCopying>
@property (nonatomic, strong) WKUserContentController* userContentController;
@property (nonatomic, strong) WKWebsiteDataStore* websiteDataStore;
@property (nullable, nonatomic, copy) NSString* applicationNameForUserAgent;
@property (nonatomic) BOOL allowsInlineMediaPlayback;
@property (nonatomic) WKAudiovisualMediaTypes mediaTypesRequiringUserActionForPlayback;
- (void)setURLSchemeHandler:(nullable id<WKURLSchemeHandler>)urlSchemeHandler forURLScheme:(NSString*)urlScheme;
@end

// [WK WKNavigationAction.h]
typedef NS_ENUM(NSInteger, WKNavigationActionPolicy) {
    WKNavigationActionPolicyCancel,
    WKNavigationActionPolicyAllow,
    WKNavigationActionPolicyDownload
};
@interface WKNavigationAction : NSObject
@property (nonatomic, readonly, copy) NSURLRequest* request;
@property (nullable, nonatomic, readonly, copy) WKFrameInfo* targetFrame;
@end
@interface WKNavigation : NSObject
@end

// [WK WKNavigationDelegate.h] (all @optional in WebKit); didFailNavigation:withError: (unconfirmed: the
// facts note lists its provisional sibling)
@protocol WKNavigationDelegate <NSObject>
@required
- (void)webView:(WKWebView*)webView
    decidePolicyForNavigationAction:(WKNavigationAction*)navigationAction
                    decisionHandler:(void (^)(WKNavigationActionPolicy))decisionHandler;
- (void)webView:(WKWebView*)webView
    didFailProvisionalNavigation:(null_unspecified WKNavigation*)navigation
                       withError:(NSError*)error;
- (void)webView:(WKWebView*)webView didFinishNavigation:(null_unspecified WKNavigation*)navigation;
- (void)webView:(WKWebView*)webView
    didFailNavigation:(null_unspecified WKNavigation*)navigation
            withError:(NSError*)error;
@end

// [WK WKUIDelegate.h] (@optional in WebKit), 12.0
typedef NS_ENUM(NSInteger, WKPermissionDecision) {
    WKPermissionDecisionPrompt,
    WKPermissionDecisionGrant,
    WKPermissionDecisionDeny
};
typedef NS_ENUM(NSInteger, WKMediaCaptureType) {
    WKMediaCaptureTypeCamera,
    WKMediaCaptureTypeMicrophone,
    WKMediaCaptureTypeCameraAndMicrophone
};
@protocol WKUIDelegate <NSObject>
@required
- (void)webView:(WKWebView*)webView
    requestMediaCapturePermissionForOrigin:(WKSecurityOrigin*)origin
                          initiatedByFrame:(WKFrameInfo*)frame
                                      type:(WKMediaCaptureType)type
                           decisionHandler:(void (^)(WKPermissionDecision decision))decisionHandler;
@end

// [WK WKWebView.h]; loadRequest:, reload, URL, allowsBackForwardNavigationGestures (unconfirmed)
@interface WKWebView : UIView
- (instancetype)initWithFrame:(CGRect)frame
                configuration:(WKWebViewConfiguration*)configuration NS_DESIGNATED_INITIALIZER;
@property (nullable, nonatomic, weak) id<WKNavigationDelegate> navigationDelegate;
@property (nullable, nonatomic, weak) id<WKUIDelegate> UIDelegate;
@property (nonatomic) BOOL allowsBackForwardNavigationGestures;
@property (nullable, nonatomic, readonly, copy) NSURL* URL;
+ (BOOL)handlesURLScheme:(NSString*)urlScheme;
- (nullable WKNavigation*)loadRequest:(NSURLRequest*)request;
- (nullable WKNavigation*)reload;
- (void)evaluateJavaScript:(NSString*)javaScriptString
         completionHandler:(void (^_Nullable)(_Nullable id, NSError* _Nullable error))completionHandler;
- (void)callAsyncJavaScript:(NSString*)functionBody
                  arguments:(nullable NSDictionary<NSString*, id>*)arguments
                    inFrame:(nullable WKFrameInfo*)frame
             inContentWorld:(WKContentWorld*)contentWorld
          completionHandler:(void (^_Nullable)(_Nullable id, NSError* _Nullable error))completionHandler;
@end

NS_ASSUME_NONNULL_END
