// The unified log, as far as the backend uses it.
#pragma once

#include <Foundation/NSObjCRuntime.h>

NS_ASSUME_NONNULL_BEGIN

// [SDK os/log.h] (facts note §7: unconfirmed). os_log is a macro over a private function on Apple's side;
// here it is declared as a checked printf-style function, so the literal format is still required.
@protocol OS_os_log <NSObject>
@end
typedef NSObject<OS_os_log>* os_log_t;
extern "C" {
os_log_t os_log_create(const char* subsystem, const char* category);
void os_log(os_log_t log, const char* format, ...) __attribute__((format(os_log, 2, 3)));
}

NS_ASSUME_NONNULL_END
