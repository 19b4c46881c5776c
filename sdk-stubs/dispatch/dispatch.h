// libdispatch, as far as the backend uses it. Under ARC the dispatch types are Objective-C objects.
#pragma once

#include <Foundation/NSObjCRuntime.h>

NS_ASSUME_NONNULL_BEGIN

// [SDK dispatch/object.h, queue.h, source.h, time.h] (facts note §7: unconfirmed)
@protocol OS_dispatch_object <NSObject>
@end
@protocol OS_dispatch_queue <OS_dispatch_object>
@end
@protocol OS_dispatch_queue_attr <OS_dispatch_object>
@end
@protocol OS_dispatch_source <OS_dispatch_object>
@end
typedef NSObject<OS_dispatch_queue>* dispatch_queue_t;
typedef NSObject<OS_dispatch_queue_attr>* dispatch_queue_attr_t;
typedef NSObject<OS_dispatch_source>* dispatch_source_t;
typedef const struct dispatch_source_type_s* dispatch_source_type_t;
typedef void (^dispatch_block_t)(void);
typedef uint64_t dispatch_time_t;
typedef void (*dispatch_function_t)(void* _Nullable);

#define DISPATCH_QUEUE_SERIAL nullptr
#define DISPATCH_TIME_NOW (0ull)
extern "C" {
extern const struct dispatch_source_type_s _dispatch_source_type_timer;
}
#define DISPATCH_SOURCE_TYPE_TIMER (&_dispatch_source_type_timer)

// [SDK sys/qos.h]
typedef enum : unsigned int { QOS_CLASS_USER_INITIATED = 0x19, QOS_CLASS_UTILITY = 0x11 } qos_class_t;

extern "C" {
dispatch_queue_t dispatch_queue_create(const char* _Nullable label, dispatch_queue_attr_t _Nullable attr);
dispatch_queue_t dispatch_get_main_queue(void);
dispatch_queue_t dispatch_get_global_queue(long identifier, unsigned long flags);
void dispatch_async(dispatch_queue_t queue, dispatch_block_t block);
void dispatch_sync(dispatch_queue_t queue, NS_NOESCAPE dispatch_block_t block);
void dispatch_after(dispatch_time_t when, dispatch_queue_t queue, dispatch_block_t block);
dispatch_time_t dispatch_time(dispatch_time_t when, int64_t delta);
void dispatch_queue_set_specific(
    dispatch_queue_t queue, const void* key, void* _Nullable context, dispatch_function_t _Nullable destructor);
void* _Nullable dispatch_get_specific(const void* key);
dispatch_source_t dispatch_source_create(
    dispatch_source_type_t type, uintptr_t handle, uintptr_t mask, dispatch_queue_t _Nullable queue);
void dispatch_source_set_timer(dispatch_source_t source, dispatch_time_t start, uint64_t interval, uint64_t leeway);
void dispatch_source_set_event_handler(dispatch_source_t source, dispatch_block_t _Nullable handler);
void dispatch_source_cancel(dispatch_source_t source);
void dispatch_resume(NSObject<OS_dispatch_object>* object);
}

NS_ASSUME_NONNULL_END
