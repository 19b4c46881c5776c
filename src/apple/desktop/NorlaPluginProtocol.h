#pragma once

// The menu-bar plug-in's contract as the plug-in bundle declares it: the principal class of
// ZivadoDidOrizir.bundle conforms to this protocol, which uses Foundation types only (the plug-in is built
// for macOS, the application for Mac Catalyst).

#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

@protocol ZivadoDidOrizirProtocol <NSObject>
@required
- (instancetype)init;
- (void)installWithOpenWindow:(void (^)(void))openWindow reload:(void (^)(void))reload;
- (void)setBadgeTitle:(nullable NSString*)title;
- (void)toggleWindow;
- (void)showWindow;
- (void)startMeetingWatch:(void (^)(NSString* event, NSString* _Nullable label))watch;
- (BOOL)requestScreenCaptureAccess;
- (void)showMeetingPopupWithPhase:(NSString*)phase label:(NSString*)label message:(nullable NSString*)message;
- (void)hideMeetingPopup;
@property (nonatomic, readonly) BOOL meetingPopupVisible;
- (void)setMeetingPopupHandler:(void (^)(NSString* action))handler;
@end

NS_ASSUME_NONNULL_END
