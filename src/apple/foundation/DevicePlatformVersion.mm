#include "foundation/DevicePlatformVersion.h"

#import <UIKit/UIKit.h>

#include <cstdio>

namespace norla {

DevicePlatformVersion::DevicePlatformVersion()
{
    const char* text = [UIDevice currentDevice].systemVersion.UTF8String;
    // "18.2", "18.2.1" or "26": missing parts are 0; unreadable text answers no version at all.
    if (!text || std::sscanf(text, "%d.%d", &m_major, &m_minor) < 1)
        m_major = m_minor = 0;
}

bool DevicePlatformVersion::isAtLeast(int major, int minor) const
{
    return m_major > major || (m_major == major && m_minor >= minor);
}

} // namespace norla
