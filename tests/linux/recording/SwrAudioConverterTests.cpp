#include "recording/SwrAudioConverter.h"

#include "DecodedAudio.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <utility>

namespace norla {
namespace {

    constexpr AudioFormat captureFormat { AudioCommonFormat::pcmFloat32, 16000.0, 1, false };

    TEST(SwrAudioConverterTest, ResamplesConsecutiveBuffersIntoOneContinuousSignal)
    {
        // One second of a 1 kHz tone in both channels at 48 kHz, handed over in 10 ms buffers, one per call
        // as the capture does.
        AudioFormat stereo48k { AudioCommonFormat::pcmFloat32, 48000.0, 2, false };
        auto converter = SwrAudioConverter::make(stereo48k, captureFormat);
        ASSERT_TRUE(converter);
        std::vector<float> out;
        for (std::uint32_t start = 0; start < 48000; start += 480) {
            auto input = AudioPcmBuffer::make(stereo48k, 480);
            for (int channel = 0; channel < 2; ++channel) {
                for (std::uint32_t i = 0; i < 480; ++i)
                    input->floatChannelData(channel)[i]
                        = 0.5f * static_cast<float>(std::sin(2 * std::numbers::pi * 1000 * (start + i) / 48000.0));
            }
            input->setFrameLength(480);
            auto output = AudioPcmBuffer::make(captureFormat, 160 + 64);
            bool handed = false;
            EXPECT_TRUE(converter->convert(*output, [&](AudioConverterInputStatus& status) -> const AudioPcmBuffer* {
                status = handed ? AudioConverterInputStatus::noDataNow : AudioConverterInputStatus::haveData;
                return std::exchange(handed, true) ? nullptr : &*input;
            }));
            auto channel = output->floatChannelData(0).first(output->frameLength());
            out.insert(out.end(), channel.begin(), channel.end());
        }
        EXPECT_NEAR(static_cast<double>(out.size()), 16000.0, 64.0) << "only the filter's delay is held back";
        EXPECT_GT(test::toneAmplitude(out, 1000, 16000, 1000, 13000), 0.45) << "the two channels mixed into one";
        float largestStep = 0;
        float peak = 0;
        for (std::size_t i = 1001; i < 15000; ++i) {
            largestStep = std::max(largestStep, std::abs(out[i] - out[i - 1]));
            peak = std::max(peak, std::abs(out[i]));
        }
        // A sine's steepest step between samples is its peak × 2π f / rate; a seam would jump further.
        EXPECT_LT(largestStep, 1.1f * peak * static_cast<float>(2 * std::numbers::pi * 1000 / 16000))
            << "no clicks where buffers meet";
    }

    TEST(SwrAudioConverterTest, TakesOnlyNonInterleavedFloat)
    {
        AudioFormat interleaved { AudioCommonFormat::pcmFloat32, 48000.0, 2, true };
        EXPECT_FALSE(SwrAudioConverter::make(interleaved, captureFormat));
        AudioFormat noRate { AudioCommonFormat::pcmFloat32, 0, 1, false };
        EXPECT_FALSE(SwrAudioConverter::make(noRate, captureFormat));
        SwrAudioConverters converters;
        EXPECT_TRUE(converters.makeConverter(captureFormat, captureFormat));
    }

} // namespace
} // namespace norla
