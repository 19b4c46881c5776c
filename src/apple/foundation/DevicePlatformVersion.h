#pragma once

#include "platform/PlatformVersion.h"

namespace norla {

// The version as the iPad-compatible layer numbers it (`UIDevice.systemVersion`): under Mac Catalyst the
// iOS version that matches the Mac's (macOS 15.2 is 18.2), unlike NSProcessInfo, which gives the Mac's.
// Read once, on the main thread where UIKit belongs; asked from any thread afterwards.
class DevicePlatformVersion final : public PlatformVersion {
public:
    DevicePlatformVersion();
    bool isAtLeast(int major, int minor) const override;

private:
    int m_major = 0;
    int m_minor = 0;
};

} // namespace norla
