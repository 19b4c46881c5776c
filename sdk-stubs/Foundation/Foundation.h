// Foundation, as far as the backend uses it. Facts note §7 lists most of these as (unconfirmed); the
// comments say which.
#pragma once

#include <Foundation/NSObjCRuntime.h>

NS_ASSUME_NONNULL_BEGIN

@class NSArray<ObjectType>, NSDictionary<KeyType, ObjectType>, NSData, NSError, NSURL, NSOperationQueue;

// [SDK NSString.h]
typedef NSUInteger NSStringEncoding;
static const NSStringEncoding NSUTF8StringEncoding = 4;
@interface NSString : NSObject <NSCopying>
@property (readonly) NSUInteger length;
@property (nullable, readonly) const char* UTF8String NS_RETURNS_INNER_POINTER;
- (nullable instancetype)initWithBytes:(const void*)bytes length:(NSUInteger)len encoding:(NSStringEncoding)encoding;
// [SDK NSURL.h] (NSURLUtilities category)
@property (nullable, readonly, copy) NSString* stringByRemovingPercentEncoding;
@end

// [SDK NSCoder.h]
@interface NSCoder : NSObject
@end

// [SDK NSValue.h]
@interface NSNumber : NSObject <NSCopying>
+ (NSNumber*)numberWithBool:(BOOL)value;
+ (NSNumber*)numberWithLongLong:(long long)value;
+ (NSNumber*)numberWithDouble:(double)value;
+ (NSNumber*)numberWithInteger:(NSInteger)value;
@property (readonly) BOOL boolValue;
@property (readonly) int intValue;
@property (readonly) long long longLongValue;
@property (readonly) double doubleValue;
@property (readonly) NSInteger integerValue;
@property (readonly) NSUInteger unsignedIntegerValue;
@end

// [SDK NSNull.h]
@interface NSNull : NSObject <NSCopying>
+ (NSNull*)null;
@end

// [SDK NSArray.h]
@interface NSArray<__covariant ObjectType> : NSObject <NSCopying, NSFastEnumeration>
@property (readonly) NSUInteger count;
@property (nullable, nonatomic, readonly) ObjectType firstObject;
+ (instancetype)arrayWithObject:(ObjectType)anObject;
+ (instancetype)arrayWithObjects:(const ObjectType _Nonnull[_Nonnull])objects count:(NSUInteger)cnt;
- (ObjectType)objectAtIndexedSubscript:(NSUInteger)idx;
@end
@interface NSMutableArray<ObjectType> : NSArray <ObjectType>
+ (instancetype)array;
- (void)addObject:(ObjectType)anObject;
@end

// [SDK NSDictionary.h]
@interface NSDictionary<__covariant KeyType, __covariant ObjectType> : NSObject <NSCopying, NSFastEnumeration>
@property (readonly) NSUInteger count;
+ (instancetype)dictionary;
+ (instancetype)dictionaryWithObjects:(const ObjectType _Nonnull[_Nullable])objects
                              forKeys:(const KeyType<NSCopying> _Nonnull[_Nullable])keys
                                count:(NSUInteger)cnt;
- (nullable ObjectType)objectForKeyedSubscript:(KeyType)key;
- (nullable ObjectType)objectForKey:(KeyType)aKey;
@end
@interface NSMutableDictionary<KeyType, ObjectType> : NSDictionary <KeyType, ObjectType>
- (void)setObject:(nullable ObjectType)obj forKeyedSubscript:(KeyType<NSCopying>)key;
@end

// [SDK NSSet.h]
@interface NSSet<__covariant ObjectType> : NSObject <NSCopying, NSFastEnumeration>
@property (readonly) NSUInteger count;
@end

// [SDK NSData.h]
@interface NSData : NSObject <NSCopying>
@property (readonly) NSUInteger length;
@property (readonly) const void* bytes NS_RETURNS_INNER_POINTER;
+ (instancetype)dataWithBytes:(nullable const void*)bytes length:(NSUInteger)length;
@end

// [SDK NSError.h]
typedef NSString* NSErrorDomain;
FOUNDATION_EXTERN NSString* const NSLocalizedDescriptionKey;
@interface NSError : NSObject <NSCopying>
+ (instancetype)errorWithDomain:(NSErrorDomain)domain
                           code:(NSInteger)code
                       userInfo:(nullable NSDictionary<NSString*, id>*)dict;
@property (readonly, copy) NSErrorDomain domain;
@property (readonly) NSInteger code;
@property (readonly, copy) NSDictionary<NSString*, id>* userInfo;
@property (readonly, copy) NSString* localizedDescription;
@end

// [SDK NSURLError.h]
FOUNDATION_EXTERN NSErrorDomain const NSURLErrorDomain;
FOUNDATION_EXTERN NSString* const NSURLErrorFailingURLErrorKey;
FOUNDATION_EXTERN NSString* const NSURLErrorFailingURLStringErrorKey;

// [SDK NSURL.h] (unconfirmed in the facts note; nullability as in the SDK)
@interface NSURL : NSObject <NSCopying>
+ (nullable instancetype)URLWithString:(NSString*)URLString;
+ (nullable instancetype)URLWithString:(NSString*)URLString relativeToURL:(nullable NSURL*)baseURL;
+ (NSURL*)fileURLWithPath:(NSString*)path;
@property (nullable, readonly, copy) NSString* absoluteString;
@property (nullable, readonly, copy) NSURL* absoluteURL;
@property (nullable, readonly, copy) NSString* path;
@property (nullable, readonly, copy) NSString* scheme;
@property (nullable, readonly, copy) NSString* host;
- (NSURL*)URLByAppendingPathComponent:(NSString*)pathComponent;
@end

// [SDK NSURL.h] NSURLComponents (facts note §7: nullable components; unconfirmed)
@interface NSURLComponents : NSObject <NSCopying>
+ (nullable instancetype)componentsWithURL:(NSURL*)url resolvingAgainstBaseURL:(BOOL)resolve;
+ (nullable instancetype)componentsWithString:(NSString*)URLString;
@property (nullable, readonly, copy) NSURL* URL;
@property (nullable, copy) NSString* scheme;
@property (nullable, copy) NSNumber* port;
@property (nullable, copy) NSString* percentEncodedHost;
@property (nullable, copy) NSString* percentEncodedPath;
@property (nullable, copy) NSString* percentEncodedQuery;
@property (nullable, copy) NSString* percentEncodedFragment;
@end

// [SDK NSURLRequest.h] (unconfirmed)
typedef NS_ENUM(NSUInteger, NSURLRequestCachePolicy) {
    NSURLRequestUseProtocolCachePolicy = 0,
    NSURLRequestReloadIgnoringLocalCacheData = 1,
};
@interface NSURLRequest : NSObject <NSCopying>
+ (instancetype)requestWithURL:(NSURL*)URL
                   cachePolicy:(NSURLRequestCachePolicy)cachePolicy
               timeoutInterval:(NSTimeInterval)timeoutInterval;
@property (nullable, readonly, copy) NSURL* URL;
@end

// [SDK NSURLResponse.h]; NSHTTPURLResponse's initializer as in the facts note §1 (generic args unconfirmed)
@interface NSURLResponse : NSObject <NSCopying>
@end
@interface NSHTTPURLResponse : NSURLResponse
- (nullable instancetype)initWithURL:(NSURL*)url
                          statusCode:(NSInteger)statusCode
                         HTTPVersion:(nullable NSString*)HTTPVersion
                        headerFields:(nullable NSDictionary<NSString*, NSString*>*)headerFields;
@end

// [SDK NSBundle.h] (facts note §7: unconfirmed)
@interface NSBundle : NSObject
@property (class, readonly, strong) NSBundle* mainBundle;
+ (nullable instancetype)bundleWithURL:(NSURL*)url;
- (nullable id)objectForInfoDictionaryKey:(NSString*)key;
@property (nullable, readonly, copy) NSURL* builtInPlugInsURL;
- (BOOL)loadAndReturnError:(NSError**)error;
@property (nullable, readonly) Class principalClass;
@end

// [SDK NSUserDefaults.h] (unconfirmed)
@interface NSUserDefaults : NSObject
@property (class, readonly, strong) NSUserDefaults* standardUserDefaults;
- (nullable NSString*)stringForKey:(NSString*)defaultName;
- (void)setObject:(nullable id)value forKey:(NSString*)defaultName;
- (void)removeObjectForKey:(NSString*)defaultName;
@end

// [SDK NSUUID.h] (facts note §7: unconfirmed)
@interface NSUUID : NSObject <NSCopying>
+ (instancetype)UUID;
@property (readonly, copy) NSString* UUIDString;
@end

// [SDK NSPathUtilities.h], [SDK NSFileManager.h] (facts note §7: unconfirmed)
typedef NS_ENUM(NSUInteger, NSSearchPathDirectory) { NSApplicationSupportDirectory = 14 };
typedef NS_OPTIONS(NSUInteger, NSSearchPathDomainMask) { NSUserDomainMask = 1 };
FOUNDATION_EXTERN NSString* NSHomeDirectory(void);
@interface NSFileManager : NSObject
@property (class, readonly, strong) NSFileManager* defaultManager;
- (NSArray<NSURL*>*)URLsForDirectory:(NSSearchPathDirectory)directory inDomains:(NSSearchPathDomainMask)domainMask;
- (BOOL)removeItemAtURL:(NSURL*)URL error:(NSError**)error;
@end

// [SDK NSFileHandle.h] macOS 10.15 / iOS 13 error-returning API (unconfirmed)
@interface NSFileHandle : NSObject
+ (nullable instancetype)fileHandleForReadingFromURL:(NSURL*)url error:(NSError**)error;
+ (nullable instancetype)fileHandleForWritingToURL:(NSURL*)url error:(NSError**)error;
- (nullable NSData*)readDataUpToLength:(NSUInteger)length error:(NSError**)error;
- (BOOL)writeData:(NSData*)data error:(NSError**)error;
- (BOOL)seekToOffset:(unsigned long long)offset error:(NSError**)error;
- (BOOL)synchronizeAndReturnError:(NSError**)error;
- (BOOL)closeAndReturnError:(NSError**)error;
@end

// [SDK NSThread.h] (unconfirmed)
@interface NSThread : NSObject
@property (class, readonly) BOOL isMainThread;
@end

// [SDK NSNotification.h] (unconfirmed)
typedef NSString* NSNotificationName;
@interface NSNotification : NSObject <NSCopying>
@property (readonly, copy) NSNotificationName name;
@property (nullable, readonly, retain) id object;
@property (nullable, readonly, copy) NSDictionary* userInfo;
@end
@interface NSNotificationCenter : NSObject
@property (class, readonly, strong) NSNotificationCenter* defaultCenter;
- (id<NSObject>)addObserverForName:(nullable NSNotificationName)name
                            object:(nullable id)obj
                             queue:(nullable NSOperationQueue*)queue
                        usingBlock:(void (^)(NSNotification* notification))block;
- (void)removeObserver:(id)observer;
@end

NS_ASSUME_NONNULL_END
