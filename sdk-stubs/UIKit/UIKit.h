// UIKit as Mac Catalyst compiles it, as far as the backend uses it. Delegate methods the backend implements
// are @required here (UIKit declares them @optional) so that a misspelt selector fails the compile check.
#pragma once

#import <CoreGraphics/CoreGraphics.h>
#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

@class UIScene, UISceneSession, UIWindow, UIWindowScene, UIImage, UIMenu, UIMenuSystem, UIViewController, UIScreen;

// [SDK UIResponder.h]; buildMenuWithBuilder: declared on UIResponder [SDK UIResponder.h] (attributes unconfirmed)
@protocol UIMenuBuilder;
@interface UIResponder : NSObject
- (void)buildMenuWithBuilder:(id<UIMenuBuilder>)builder;
@end

// [SDK NSLayoutAnchor.h], [SDK NSLayoutConstraint.h] (unconfirmed)
@class NSLayoutXAxisAnchor, NSLayoutYAxisAnchor;
@interface NSLayoutConstraint : NSObject
+ (void)activateConstraints:(NSArray<NSLayoutConstraint*>*)constraints;
@end
@interface NSLayoutAnchor<AnchorType> : NSObject
- (NSLayoutConstraint*)constraintEqualToAnchor:(NSLayoutAnchor<AnchorType>*)anchor;
@end
@interface NSLayoutXAxisAnchor : NSLayoutAnchor <NSLayoutXAxisAnchor*>
@end
@interface NSLayoutYAxisAnchor : NSLayoutAnchor <NSLayoutYAxisAnchor*>
@end

// [SDK UILayoutGuide.h] (unconfirmed)
@interface UILayoutGuide : NSObject
@property (nonatomic, readonly, strong) NSLayoutXAxisAnchor* leadingAnchor;
@property (nonatomic, readonly, strong) NSLayoutXAxisAnchor* trailingAnchor;
@property (nonatomic, readonly, strong) NSLayoutYAxisAnchor* topAnchor;
@property (nonatomic, readonly, strong) NSLayoutYAxisAnchor* bottomAnchor;
@end

// [SDK UIView.h] (unconfirmed)
@interface UIView : UIResponder
- (instancetype)initWithFrame:(CGRect)frame NS_DESIGNATED_INITIALIZER;
@property (nullable, nonatomic, readonly) UIWindow* window;
@property (nonatomic) BOOL translatesAutoresizingMaskIntoConstraints;
@property (nonatomic, readonly, strong) UILayoutGuide* safeAreaLayoutGuide;
@property (nonatomic, readonly, strong) NSLayoutXAxisAnchor* leadingAnchor;
@property (nonatomic, readonly, strong) NSLayoutXAxisAnchor* trailingAnchor;
@property (nonatomic, readonly, strong) NSLayoutYAxisAnchor* topAnchor;
@property (nonatomic, readonly, strong) NSLayoutYAxisAnchor* bottomAnchor;
- (void)addSubview:(UIView*)view;
@end

// [SDK UIViewController.h] (unconfirmed)
@interface UIViewController : UIResponder
- (instancetype)initWithNibName:(nullable NSString*)nibNameOrNil
                         bundle:(nullable NSBundle*)nibBundleOrNil NS_DESIGNATED_INITIALIZER;
- (nullable instancetype)initWithCoder:(NSCoder*)coder NS_DESIGNATED_INITIALIZER;
@property (null_resettable, nonatomic, strong) UIView* view;
@property (nullable, nonatomic, readonly) UIViewController* presentedViewController;
- (void)viewDidLoad NS_REQUIRES_SUPER;
- (void)presentViewController:(UIViewController*)viewControllerToPresent
                     animated:(BOOL)flag
                   completion:(void (^_Nullable)(void))completion;
@end

// [SDK UIWindow.h] (unconfirmed)
@interface UIWindow : UIView
- (instancetype)initWithWindowScene:(UIWindowScene*)windowScene;
- (instancetype)initWithFrame:(CGRect)frame;
@property (nullable, nonatomic, strong) UIViewController* rootViewController;
@property (nonatomic, readonly, getter=isKeyWindow) BOOL keyWindow;
- (void)makeKeyAndVisible;
@end

// [SDK UIScreen.h] (unconfirmed)
@interface UIScreen : NSObject
@property (nonatomic, readonly) CGRect bounds;
@end

// [SDK UIDevice.h] (unconfirmed)
@interface UIDevice : NSObject
@property (class, nonatomic, readonly) UIDevice* currentDevice;
@property (nonatomic, readonly, strong) NSString* systemVersion;
@end

// [SDK UIImage.h]
@interface UIImage : NSObject
@end

// [SDK UIScene.h, UISceneSession.h, UISceneOptions.h, UISceneDefinitions.h] (unconfirmed)
typedef NS_ENUM(NSInteger, UISceneActivationState) {
    UISceneActivationStateUnattached = -1,
    UISceneActivationStateForegroundActive,
    UISceneActivationStateForegroundInactive,
    UISceneActivationStateBackground
};
typedef NSString* UISceneSessionRole;
@interface NSUserActivity : NSObject
@end
@interface UISceneConnectionOptions : NSObject
@end
@interface UISceneActivationRequestOptions : NSObject
@end
@interface UISceneConfiguration : NSObject <NSCopying>
- (instancetype)initWithName:(nullable NSString*)name sessionRole:(UISceneSessionRole)sessionRole;
@property (nonatomic, nullable) Class delegateClass;
@end
@interface UISceneSession : NSObject
@property (nonatomic, readonly) UISceneSessionRole role;
@property (nullable, nonatomic, strong) NSUserActivity* stateRestorationActivity;
@end
@interface UIScene : UIResponder
@property (nonatomic, readonly) UISceneActivationState activationState;
@end

// [AD uikit/uiwindowscenegeometrypreferencesmac] iOS 16 / Mac Catalyst 16 (unconfirmed)
@interface UIWindowSceneGeometryPreferences : NSObject
@end
@interface UIWindowSceneGeometryPreferencesMac : UIWindowSceneGeometryPreferences
- (instancetype)initWithSystemFrame:(CGRect)systemFrame;
@end

// [SDK UIWindowScene.h] (unconfirmed; keyWindow iOS 15)
@interface UIWindowScene : UIScene
@property (nonatomic, readonly) UIScreen* screen;
@property (nonatomic, readonly) NSArray<UIWindow*>* windows;
@property (nonatomic, readonly, nullable, strong) UIWindow* keyWindow;
- (void)requestGeometryUpdateWithPreferences:(UIWindowSceneGeometryPreferences*)geometryPreferences
                                errorHandler:(void (^_Nullable)(NSError* error))errorHandler;
@end

// [AD uikit/uiscenedelegate/scene(_:willconnectto:options:)] Catalyst 13.1; the rest (unconfirmed)
@protocol UISceneDelegate <NSObject>
@required
- (void)scene:(UIScene*)scene
    willConnectToSession:(UISceneSession*)session
                 options:(UISceneConnectionOptions*)connectionOptions;
- (void)sceneDidDisconnect:(UIScene*)scene;
- (void)sceneWillEnterForeground:(UIScene*)scene;
- (void)sceneDidEnterBackground:(UIScene*)scene;
@end
@protocol UIWindowSceneDelegate <UISceneDelegate>
@optional
@property (nullable, nonatomic, strong) UIWindow* window;
@end

// [SDK UIApplication.h, iOS 18-era]
typedef NSString* UIApplicationLaunchOptionsKey;
typedef NSString* UIApplicationOpenExternalURLOptionsKey;
UIKIT_EXTERN UIApplicationLaunchOptionsKey const UIApplicationLaunchOptionsRemoteNotificationKey; // (unconfirmed)
@interface UIApplication : UIResponder
@property (class, nonatomic, readonly) UIApplication* sharedApplication;
@property (nonatomic, readonly) NSSet<UIScene*>* connectedScenes;
- (void)openURL:(NSURL*)url
              options:(NSDictionary<UIApplicationOpenExternalURLOptionsKey, id>*)options
    completionHandler:(void (^__nullable)(BOOL success))completion;
- (void)requestSceneSessionActivation:(nullable UISceneSession*)sceneSession
                         userActivity:(nullable NSUserActivity*)userActivity
                              options:(nullable UISceneActivationRequestOptions*)options
                         errorHandler:(nullable void (^)(NSError* error))errorHandler;
- (void)registerForRemoteNotifications;
@end
// [SDK UIApplication.h] UIApplicationMain (unconfirmed)
UIKIT_EXTERN int UIApplicationMain(int argc, char* _Nullable argv[_Nonnull], NSString* _Nullable principalClassName,
    NSString* _Nullable delegateClassName);

// [SDK UIApplication.h] @protocol UIApplicationDelegate: every method the backend implements, @required here
@protocol UIApplicationDelegate <NSObject>
@required
- (BOOL)application:(UIApplication*)application
    didFinishLaunchingWithOptions:(nullable NSDictionary<UIApplicationLaunchOptionsKey, id>*)launchOptions;
- (void)application:(UIApplication*)application didRegisterForRemoteNotificationsWithDeviceToken:(NSData*)deviceToken;
- (void)application:(UIApplication*)application didFailToRegisterForRemoteNotificationsWithError:(NSError*)error;
- (UISceneConfiguration*)application:(UIApplication*)application
    configurationForConnectingSceneSession:(UISceneSession*)connectingSceneSession
                                   options:(UISceneConnectionOptions*)options;
@end

// [SDK UIAlertController.h] (facts note §2: unconfirmed)
typedef NS_ENUM(NSInteger, UIAlertActionStyle) {
    UIAlertActionStyleDefault = 0,
    UIAlertActionStyleCancel,
    UIAlertActionStyleDestructive
};
typedef NS_ENUM(NSInteger, UIAlertControllerStyle) {
    UIAlertControllerStyleActionSheet = 0,
    UIAlertControllerStyleAlert
};
@interface UIAlertAction : NSObject <NSCopying>
+ (instancetype)actionWithTitle:(nullable NSString*)title
                          style:(UIAlertActionStyle)style
                        handler:(void (^__nullable)(UIAlertAction* action))handler;
@end
@interface UIAlertController : UIViewController
+ (instancetype)alertControllerWithTitle:(nullable NSString*)title
                                 message:(nullable NSString*)message
                          preferredStyle:(UIAlertControllerStyle)preferredStyle;
- (void)addAction:(UIAlertAction*)action;
@end

// [SDK UICommand.h, UIKeyCommand.h, UIMenu.h, UIMenuSystem.h, UIMenuBuilder.h] (ios 13)
// UIKeyModifierFlags values and UIMenuOptions values: facts note §2 (unconfirmed)
typedef NS_OPTIONS(NSInteger, UIKeyModifierFlags) {
    UIKeyModifierAlphaShift = 1 << 16,
    UIKeyModifierShift = 1 << 17,
    UIKeyModifierControl = 1 << 18,
    UIKeyModifierAlternate = 1 << 19,
    UIKeyModifierCommand = 1 << 20,
};
typedef NS_OPTIONS(NSUInteger, UIMenuOptions) {
    UIMenuOptionsDisplayInline = 1 << 0,
    UIMenuOptionsDestructive = 1 << 1,
    UIMenuOptionsSingleSelection = 1 << 5,
};
typedef NSString* UIMenuIdentifier;
UIKIT_EXTERN const UIMenuIdentifier UIMenuView; // (unconfirmed)
UIKIT_EXTERN const UIMenuIdentifier UIMenuToolbar; // (unconfirmed)
@interface UIMenuElement : NSObject <NSCopying>
@end
// [SDK UICommand.h] commandWithTitle:image:action:propertyList: and propertyList (unconfirmed)
@interface UICommand : UIMenuElement
+ (instancetype)commandWithTitle:(NSString*)title
                           image:(nullable UIImage*)image
                          action:(SEL)action
                    propertyList:(nullable id)propertyList;
@property (nullable, nonatomic, readonly) id propertyList;
@end
// [MS UIKeyCommand.Create] Export("commandWithTitle:image:action:input:modifierFlags:propertyList:")
@interface UIKeyCommand : UICommand
+ (instancetype)commandWithTitle:(NSString*)title
                           image:(nullable UIImage*)image
                          action:(SEL)action
                           input:(NSString*)input
                   modifierFlags:(UIKeyModifierFlags)modifierFlags
                    propertyList:(nullable id)propertyList;
@end
// UIMenu: selector as in the facts note §2; nullability (unconfirmed)
@interface UIMenu : UIMenuElement
+ (UIMenu*)menuWithTitle:(NSString*)title
                   image:(nullable UIImage*)image
              identifier:(nullable UIMenuIdentifier)identifier
                 options:(UIMenuOptions)options
                children:(NSArray<UIMenuElement*>*)children;
@end
@interface UIMenuSystem : NSObject
@property (class, nonatomic, readonly) UIMenuSystem* mainSystem; // (unconfirmed)
@end
@protocol UIMenuBuilder
@property (nonatomic, readonly) UIMenuSystem* system;
- (void)insertSiblingMenu:(UIMenu*)siblingMenu afterMenuForIdentifier:(UIMenuIdentifier)siblingIdentifier;
@end

NS_ASSUME_NONNULL_END
