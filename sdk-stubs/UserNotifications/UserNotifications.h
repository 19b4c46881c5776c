// UserNotifications, as far as the backend uses it. The delegate methods it implements are @required here.
#pragma once

#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

@class UNNotification, UNNotificationResponse, UNNotificationSettings, UNNotificationTrigger;

// [SDK UNUserNotificationCenter.h, macOS 12-era]
typedef NS_OPTIONS(NSUInteger, UNAuthorizationOptions) {
    UNAuthorizationOptionBadge = (1 << 0),
    UNAuthorizationOptionSound = (1 << 1),
    UNAuthorizationOptionAlert = (1 << 2),
    UNAuthorizationOptionProvisional = (1 << 6),
};
typedef NS_OPTIONS(NSUInteger, UNNotificationPresentationOptions) {
    UNNotificationPresentationOptionBadge = (1 << 0),
    UNNotificationPresentationOptionSound = (1 << 1),
    UNNotificationPresentationOptionAlert = (1 << 2),
    UNNotificationPresentationOptionList = (1 << 3),
    UNNotificationPresentationOptionBanner = (1 << 4),
};

// [SDK UNNotificationSettings.h]
typedef NS_ENUM(NSInteger, UNAuthorizationStatus) {
    UNAuthorizationStatusNotDetermined = 0,
    UNAuthorizationStatusDenied,
    UNAuthorizationStatusAuthorized,
    UNAuthorizationStatusProvisional,
    UNAuthorizationStatusEphemeral,
};
@interface UNNotificationSettings : NSObject
@property (NS_NONATOMIC_IOSONLY, readonly) UNAuthorizationStatus authorizationStatus;
@end

// [SDK UNNotificationSound.h] (unconfirmed)
@interface UNNotificationSound : NSObject <NSCopying>
@property (class, NS_NONATOMIC_IOSONLY, copy, readonly) UNNotificationSound* defaultSound;
@end

// [SDK UNNotificationContent.h]
@interface UNNotificationContent : NSObject <NSCopying>
@property (NS_NONATOMIC_IOSONLY, readonly, copy) NSString* title;
@property (NS_NONATOMIC_IOSONLY, readonly, copy) NSString* body;
@property (NS_NONATOMIC_IOSONLY, readonly, copy, nullable) UNNotificationSound* sound;
@property (NS_NONATOMIC_IOSONLY, readonly, copy) NSDictionary* userInfo;
@end
@interface UNMutableNotificationContent : UNNotificationContent
@property (NS_NONATOMIC_IOSONLY, copy) NSString* title;
@property (NS_NONATOMIC_IOSONLY, copy) NSString* body;
@property (NS_NONATOMIC_IOSONLY, copy, nullable) UNNotificationSound* sound;
@property (NS_NONATOMIC_IOSONLY, copy) NSDictionary* userInfo;
@end

// [SDK UNNotificationRequest.h]
@interface UNNotificationRequest : NSObject <NSCopying>
@property (NS_NONATOMIC_IOSONLY, readonly, copy) NSString* identifier;
@property (NS_NONATOMIC_IOSONLY, readonly, copy) UNNotificationContent* content;
+ (instancetype)requestWithIdentifier:(NSString*)identifier
                              content:(UNNotificationContent*)content
                              trigger:(nullable UNNotificationTrigger*)trigger;
@end
@interface UNNotificationTrigger : NSObject <NSCopying>
@end

// [SDK UNNotification.h, UNNotificationResponse.h] (unconfirmed)
@interface UNNotification : NSObject <NSCopying>
@property (NS_NONATOMIC_IOSONLY, readonly, copy) UNNotificationRequest* request;
@end
@interface UNNotificationResponse : NSObject <NSCopying>
@property (NS_NONATOMIC_IOSONLY, readonly, copy) UNNotification* notification;
@end

@class UNUserNotificationCenter;
// [SDK UNUserNotificationCenter.h] @protocol UNUserNotificationCenterDelegate (@optional in the SDK)
@protocol UNUserNotificationCenterDelegate <NSObject>
@required
- (void)userNotificationCenter:(UNUserNotificationCenter*)center
       willPresentNotification:(UNNotification*)notification
         withCompletionHandler:(void (^)(UNNotificationPresentationOptions options))completionHandler;
- (void)userNotificationCenter:(UNUserNotificationCenter*)center
    didReceiveNotificationResponse:(UNNotificationResponse*)response
             withCompletionHandler:(void (^)(void))completionHandler;
@end

// [SDK UNUserNotificationCenter.h]; setBadgeCount: [AD usernotifications/unusernotificationcenter/setbadgecount
// (_:withcompletionhandler:)] macOS 13, Catalyst 16, nullability from a public stub
@interface UNUserNotificationCenter : NSObject
@property (NS_NONATOMIC_IOSONLY, nullable, weak) id<UNUserNotificationCenterDelegate> delegate;
+ (UNUserNotificationCenter*)currentNotificationCenter;
- (void)requestAuthorizationWithOptions:(UNAuthorizationOptions)options
                      completionHandler:(void (^)(BOOL granted, NSError* __nullable error))completionHandler;
- (void)getNotificationSettingsWithCompletionHandler:(void (^)(UNNotificationSettings* settings))completionHandler;
- (void)addNotificationRequest:(UNNotificationRequest*)request
         withCompletionHandler:(nullable void (^)(NSError* __nullable error))completionHandler;
- (void)setBadgeCount:(NSInteger)newBadgeCount
    withCompletionHandler:(nullable void (^)(NSError* _Nullable error))completionHandler;
@end

NS_ASSUME_NONNULL_END
