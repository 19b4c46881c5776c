#include "PulseTestServer.h"

#include "platform/PulsePlatformVersion.h"

namespace norla::test {
namespace {

    using PulsePlatformVersionTests = PulseServerTest;

    TEST_F(PulsePlatformVersionTests, AMonitorOfTheDefaultSinkMakesTheSystemAudioVersion)
    {
        PulsePlatformVersion version;
        EXPECT_TRUE(version.isAtLeast(systemAudioMajorVersion, systemAudioMinorVersion));
        EXPECT_TRUE(version.isAtLeast(17, 0));
        EXPECT_FALSE(version.isAtLeast(systemAudioMajorVersion, systemAudioMinorVersion + 1));
        EXPECT_FALSE(version.isAtLeast(systemAudioMajorVersion + 1, 0));
    }

    TEST_F(PulsePlatformVersionTests, WithoutAMonitorTheVersionIsJustBelowIt)
    {
        PulsePlatformVersion version("no_such_sink.monitor");
        EXPECT_FALSE(version.isAtLeast(systemAudioMajorVersion, systemAudioMinorVersion));
        EXPECT_TRUE(version.isAtLeast(systemAudioMajorVersion, systemAudioMinorVersion - 1));
    }

} // namespace
} // namespace norla::test
