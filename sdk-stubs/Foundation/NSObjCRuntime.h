// Base types and macros of the Objective-C runtime and Foundation. Availability and Swift annotations
// expand to nothing: the compile check only needs the declarations.
#pragma once

#include <limits.h>
#include <stddef.h>
#include <stdint.h>

typedef signed char BOOL; // [SDK objc/objc.h] (x86_64; arm64 uses bool)
#define YES ((BOOL)1)
#define NO ((BOOL)0)
#define nil nullptr
#define Nil nullptr

typedef long NSInteger; // [SDK NSObjCRuntime.h] LP64
typedef unsigned long NSUInteger;
#define NSUIntegerMax ULONG_MAX
typedef double NSTimeInterval; // [SDK NSDate.h]

// [SDK sys/cdefs.h] (glibc defines its own __nonnull attribute: only __nullable is spelt here)
#define __nullable _Nullable
#define NS_ASSUME_NONNULL_BEGIN _Pragma("clang assume_nonnull begin")
#define NS_ASSUME_NONNULL_END _Pragma("clang assume_nonnull end")
#define NS_HEADER_AUDIT_BEGIN(...) NS_ASSUME_NONNULL_BEGIN
#define NS_HEADER_AUDIT_END(...) NS_ASSUME_NONNULL_END
#define NS_ENUM(type, name)                                                                                            \
    enum name : type name;                                                                                             \
    enum name : type
// In C++ an options type is its integer type, so that flags combine with | (as CF_OPTIONS does).
#define NS_OPTIONS(type, name)                                                                                         \
    type name;                                                                                                         \
    enum : name
#define NS_ERROR_ENUM(domain, name)                                                                                    \
    enum name : NSInteger name;                                                                                        \
    enum name : NSInteger
#define NS_TYPED_EXTENSIBLE_ENUM
#define NS_TYPED_ENUM
#define NS_DESIGNATED_INITIALIZER __attribute__((objc_designated_initializer))
#define NS_UNAVAILABLE __attribute__((unavailable))
#define NS_REQUIRES_SUPER __attribute__((objc_requires_super))
#define NS_NOESCAPE __attribute__((noescape))
#define NS_RETURNS_INNER_POINTER __attribute__((objc_returns_inner_pointer))
#define NS_NONATOMIC_IOSONLY nonatomic
#define NS_SWIFT_NAME(...)
#define NS_SWIFT_UI_ACTOR
#define NS_SWIFT_SENDABLE
#define NS_SWIFT_ASYNC(...)
#define NS_REFINED_FOR_SWIFT
#define API_AVAILABLE(...)
#define API_UNAVAILABLE(...)
#define API_DEPRECATED(...)
#define API_DEPRECATED_WITH_REPLACEMENT(...)
#define FOUNDATION_EXTERN extern "C"
#define UIKIT_EXTERN extern "C"
#define WK_EXTERN extern "C"
#define AVF_EXPORT extern "C"
#define UN_EXTERN extern "C"
#define CM_EXPORT extern "C"
#define CG_EXTERN extern "C"
#define CF_EXPORT extern "C"
#define WK_API_AVAILABLE(...)
#define WK_CLASS_AVAILABLE(...)
#define WK_SWIFT_UI_ACTOR
#define CG_AVAILABLE_STARTING(...)
#define CM_RETURNS_RETAINED_PARAMETER
#define CM_NONNULL _Nonnull
#define CM_NULLABLE _Nullable

// [SDK objc/NSObjCRuntime.h]
typedef struct _NSZone NSZone;

NS_ASSUME_NONNULL_BEGIN

// [SDK objc/NSObject.h]
@class NSString;
@protocol NSObject
- (BOOL)isEqual:(id)object;
- (BOOL)isKindOfClass:(Class)aClass;
- (BOOL)conformsToProtocol:(Protocol*)aProtocol;
- (BOOL)respondsToSelector:(SEL)aSelector;
@property (readonly, copy) NSString* description;
@end

__attribute__((objc_root_class))
@interface NSObject<NSObject>
+ (instancetype)alloc;
+ (instancetype)new;
- (instancetype)init;
+ (Class)class;
+ (BOOL)conformsToProtocol:(Protocol*)protocol;
@end

// [SDK NSEnumerator.h]
typedef struct {
    unsigned long state;
    id __unsafe_unretained _Nullable* _Nullable itemsPtr;
    unsigned long* _Nullable mutationsPtr;
    unsigned long extra[5];
} NSFastEnumerationState;
@protocol NSFastEnumeration
- (NSUInteger)countByEnumeratingWithState:(NSFastEnumerationState*)state
                                  objects:(id __unsafe_unretained _Nullable[_Nonnull])buffer
                                    count:(NSUInteger)len;
@end

// [SDK NSObject.h]
@protocol NSCopying
- (id)copyWithZone:(nullable NSZone*)zone;
@end

NS_ASSUME_NONNULL_END
