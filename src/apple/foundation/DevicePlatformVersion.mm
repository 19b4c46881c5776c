#include "foundation/DevicePlatformVersion.h"

#import <UIKit/UIKit.h>

#include <cstdio>

namespace norla {

bool DevicePlatformVersion::isAtLeast(int major, int minor) const
{
    int deviceMajor = 0;
    int deviceMinor = 0;
    const char* text = [UIDevice currentDevice].systemVersion.UTF8String;
    // "18.2", "18.2.1" or "26": missing parts are 0.
    if (!text || std::sscanf(text, "%d.%d", &deviceMajor, &deviceMinor) < 1)
        return false;
    return deviceMajor > major || (deviceMajor == major && deviceMinor >= minor);
}

} // namespace norla
