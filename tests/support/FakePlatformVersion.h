#pragma once

#include "platform/PlatformVersion.h"

#include <utility>

namespace norla::test {

// A platform of a chosen version.
class FakePlatformVersion final : public PlatformVersion {
public:
    FakePlatformVersion(int major, int minor)
        : m_version(major, minor)
    {
    }
    bool isAtLeast(int major, int minor) const override { return m_version >= std::pair(major, minor); }

private:
    const std::pair<int, int> m_version;
};

} // namespace norla::test
