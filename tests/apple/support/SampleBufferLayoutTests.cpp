#include "support/SampleBufferLayout.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace norla {

namespace {

    StreamDescription description(std::uint32_t flags, std::uint32_t bits, std::uint32_t channels)
    {
        return { 48000, StreamDescription::linearPcm, flags, channels, bits };
    }

    AudioPcmBuffer buffer(int channels, std::uint32_t capacity)
    {
        return *AudioPcmBuffer::make({ AudioCommonFormat::pcmFloat32, 48000, channels, false }, capacity);
    }

    constexpr auto floatFlags = StreamDescription::flagIsFloat;
    constexpr auto planarFloat = StreamDescription::flagIsFloat | StreamDescription::flagIsNonInterleaved;
    constexpr auto int16Flags = StreamDescription::flagIsSignedInteger;

} // namespace

TEST(SampleBufferLayoutTest, FormatIsPlanarFloatAtTheBuffersRateOrNothingForUnreadableLayouts)
{
    EXPECT_EQ(
        pcmFormat(description(int16Flags, 16, 2)), (AudioFormat { AudioCommonFormat::pcmFloat32, 48000, 2, false }));
    EXPECT_EQ(pcmFormat(description(floatFlags, 64, 1)), std::nullopt);
    EXPECT_EQ(pcmFormat(description(floatFlags | StreamDescription::flagIsBigEndian, 32, 1)), std::nullopt);
    EXPECT_EQ(pcmFormat(description(0, 16, 1)), std::nullopt); // unsigned integers
    auto aac = description(floatFlags, 32, 1);
    aac.formatId = 0x61616320;
    EXPECT_EQ(pcmFormat(aac), std::nullopt);
}

TEST(SampleBufferLayoutTest, InterleavedFramesAreSplitIntoChannelsAndPlanesAndIntegerSamplesBecomeFloat)
{
    std::array<float, 6> interleaved { 0.1F, -0.1F, 0.2F, -0.2F, 0.3F, -0.3F };
    std::array<AudioBufferData, 1> list { { { interleaved.data(), sizeof interleaved } } };
    auto stereo = buffer(2, 4);
    ASSERT_EQ(copyPcm(description(floatFlags, 32, 2), list, stereo, 3), 0);
    EXPECT_EQ(stereo.frameLength(), 3U);
    EXPECT_FLOAT_EQ(stereo.floatChannelData(0)[2], 0.3F);
    EXPECT_FLOAT_EQ(stereo.floatChannelData(1)[1], -0.2F);

    std::array<AudioBufferData, 2> planes { { { interleaved.data(), 8 }, { interleaved.data() + 2, 8 } } };
    ASSERT_EQ(copyPcm(description(planarFloat, 32, 2), planes, stereo, 2), 0);
    EXPECT_FLOAT_EQ(stereo.floatChannelData(1)[1], -0.2F);

    std::array<std::int16_t, 3> pcm16 { 16384, -32768, 0 };
    std::array<AudioBufferData, 1> samples { { { pcm16.data(), sizeof pcm16 } } };
    auto mono = buffer(1, 3);
    ASSERT_EQ(copyPcm(description(int16Flags, 16, 1), samples, mono, 3), 0);
    EXPECT_FLOAT_EQ(mono.floatChannelData(0)[0], 0.5F);
    EXPECT_FLOAT_EQ(mono.floatChannelData(0)[1], -1.0F);
}

TEST(SampleBufferLayoutTest, CopiesThatDoNotFitAreRefusedAndLeaveTheBufferAlone)
{
    std::array<float, 2> samples { 0.5F, 0.5F };
    std::array<AudioBufferData, 1> list { { { samples.data(), sizeof samples } } };
    auto mono = buffer(1, 4);
    EXPECT_EQ(copyPcm(description(floatFlags, 32, 1), list, mono, 3), audioParamError); // more than delivered
    auto small = buffer(1, 1);
    EXPECT_EQ(copyPcm(description(floatFlags, 32, 1), list, small, 2), audioParamError); // beyond capacity
    auto stereo = buffer(2, 4);
    EXPECT_EQ(copyPcm(description(floatFlags, 32, 1), list, stereo, 1), audioParamError); // other channels
    EXPECT_EQ(copyPcm(description(planarFloat, 32, 2), list, stereo, 1), audioParamError); // a plane missing
    EXPECT_EQ(mono.frameLength(), 0U);
}

} // namespace norla
