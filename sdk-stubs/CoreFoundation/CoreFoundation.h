// CoreFoundation, as far as the backend uses it.
#pragma once

#include <Foundation/NSObjCRuntime.h>

extern "C" {
// [SDK CFBase.h]
typedef const void* CFTypeRef;
typedef unsigned long CFTypeID;
typedef const struct __CFAllocator* CFAllocatorRef;
CF_EXPORT CFTypeID CFGetTypeID(CFTypeRef _Nonnull cf);
CF_EXPORT void CFRelease(CFTypeRef _Nonnull cf);
// [SDK CFNumber.h]
CF_EXPORT CFTypeID CFBooleanGetTypeID(void);
}
