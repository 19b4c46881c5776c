#include "PulseTestServer.h"

#include "platform/PulsePlatformVersion.h"

namespace norla::test {
namespace {

    using PulsePlatformVersionTest = PulseServerTest;

    TEST_F(PulsePlatformVersionTest, AMonitorOfTheDefaultSinkMakesTheSystemAudioVersionAndNoMonitorJustBelowIt)
    {
        PulsePlatformVersion version;
        EXPECT_TRUE(version.isAtLeast(systemAudioMajorVersion, systemAudioMinorVersion));
        EXPECT_FALSE(version.isAtLeast(systemAudioMajorVersion, systemAudioMinorVersion + 1));
        EXPECT_FALSE(version.isAtLeast(systemAudioMajorVersion + 1, 0));

        PulsePlatformVersion withoutMonitor("no_such_sink.monitor");
        EXPECT_FALSE(withoutMonitor.isAtLeast(systemAudioMajorVersion, systemAudioMinorVersion));
        EXPECT_TRUE(withoutMonitor.isAtLeast(systemAudioMajorVersion, systemAudioMinorVersion - 1));
    }

} // namespace
} // namespace norla::test
