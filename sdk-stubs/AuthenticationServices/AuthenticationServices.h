// AuthenticationServices (the web authentication session), as far as the backend uses it.
#pragma once

#import <Foundation/Foundation.h>
#import <UIKit/UIKit.h>

NS_ASSUME_NONNULL_BEGIN

// [SDK ASWebAuthenticationSession.h] ios 12, macCatalyst 13, macos 10.15
FOUNDATION_EXTERN NSErrorDomain const ASWebAuthenticationSessionErrorDomain;
typedef NS_ERROR_ENUM(ASWebAuthenticationSessionErrorDomain, ASWebAuthenticationSessionErrorCode) {
    ASWebAuthenticationSessionErrorCodeCanceledLogin = 1,
    ASWebAuthenticationSessionErrorCodePresentationContextNotProvided = 2,
    ASWebAuthenticationSessionErrorCodePresentationContextInvalid = 3,
};
typedef void (^ASWebAuthenticationSessionCompletionHandler)(NSURL* _Nullable callbackURL, NSError* _Nullable error);

// UIWindow in UIKit and Catalyst (typedef unconfirmed)
typedef UIWindow* ASPresentationAnchor;

@class ASWebAuthenticationSession;
// [SDK ASWebAuthenticationSession.h] required
@protocol ASWebAuthenticationPresentationContextProviding <NSObject>
@required
- (ASPresentationAnchor)presentationAnchorForWebAuthenticationSession:(ASWebAuthenticationSession*)session;
@end

// [SDK ASWebAuthenticationSessionCallback.h] ios 17.4, macos 14.4
@interface ASWebAuthenticationSessionCallback : NSObject
+ (instancetype)callbackWithCustomScheme:(NSString*)customScheme;
+ (instancetype)callbackWithHTTPSHost:(NSString*)host path:(NSString*)path;
@end

@interface ASWebAuthenticationSession : NSObject
// [AD authenticationservices/aswebauthenticationsession/init(url:callback:completionhandler:)] Catalyst 17.4
- (instancetype)initWithURL:(NSURL*)URL
                   callback:(ASWebAuthenticationSessionCallback*)callback
          completionHandler:(ASWebAuthenticationSessionCompletionHandler)completionHandler;
@property (nonatomic, weak) id<ASWebAuthenticationPresentationContextProviding> presentationContextProvider;
@property (nonatomic) BOOL prefersEphemeralWebBrowserSession;
- (BOOL)start;
- (void)cancel;
@end

NS_ASSUME_NONNULL_END
