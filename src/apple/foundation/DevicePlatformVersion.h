#pragma once

#include "platform/PlatformVersion.h"

namespace norla {

// The version as the iPad-compatible layer numbers it (`UIDevice.systemVersion`): under Mac Catalyst the
// iOS version that matches the Mac's (macOS 15.2 is 18.2), unlike NSProcessInfo, which gives the Mac's.
class DevicePlatformVersion final : public PlatformVersion {
public:
    bool isAtLeast(int major, int minor) const override;
};

} // namespace norla
