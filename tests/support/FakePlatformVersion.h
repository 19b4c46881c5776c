#pragma once

#include "platform/PlatformVersion.h"

#include <atomic>

namespace norla::test {

// A platform of a chosen version.
class FakePlatformVersion final : public PlatformVersion {
public:
    FakePlatformVersion(int major, int minor)
        : m_major(major)
        , m_minor(minor)
    {
    }
    bool isAtLeast(int major, int minor) const override
    {
        return m_major > major || (m_major == major && m_minor >= minor);
    }

private:
    int m_major;
    int m_minor;
};

} // namespace norla::test
