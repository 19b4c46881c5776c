#include "recording/SwrAudioConverter.h"

#include "DecodedAudio.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace norla {
namespace {

    constexpr AudioFormat captureFormat { AudioCommonFormat::pcmFloat32, 16000.0, 1, false };

    // Converts consecutive buffers the way the capture does: one input per call.
    std::vector<float> convertInBuffers(
        AudioConverter& converter, const AudioFormat& from, double frequency, int buffers, std::uint32_t frames)
    {
        std::vector<float> out;
        std::uint64_t sample = 0;
        for (int index = 0; index < buffers; ++index) {
            auto input = AudioPcmBuffer::make(from, frames);
            for (int channel = 0; channel < from.channelCount; ++channel) {
                auto data = input->floatChannelData(channel);
                for (std::uint32_t i = 0; i < frames; ++i)
                    data[i] = 0.5f
                        * static_cast<float>(std::sin(
                            2 * std::numbers::pi * frequency * static_cast<double>(sample + i) / from.sampleRate));
            }
            sample += frames;
            input->setFrameLength(frames);
            auto output = AudioPcmBuffer::make(
                captureFormat, static_cast<std::uint32_t>(std::floor(frames * 16000.0 / from.sampleRate)) + 64);
            bool handed = false;
            auto status
                = converter.convert(*output, [&](AudioConverterInputStatus& inputStatus) -> const AudioPcmBuffer* {
                      if (handed) {
                          inputStatus = AudioConverterInputStatus::noDataNow;
                          return nullptr;
                      }
                      handed = true;
                      inputStatus = AudioConverterInputStatus::haveData;
                      return &*input;
                  });
            EXPECT_TRUE(status);
            auto channel = output->floatChannelData(0).first(output->frameLength());
            out.insert(out.end(), channel.begin(), channel.end());
        }
        return out;
    }

    TEST(SwrAudioConverterTest, ResamplesConsecutiveBuffersIntoOneContinuousSignal)
    {
        AudioFormat stereo48k { AudioCommonFormat::pcmFloat32, 48000.0, 2, false };
        auto converter = SwrAudioConverter::make(stereo48k, captureFormat);
        ASSERT_TRUE(converter);
        auto out = convertInBuffers(*converter, stereo48k, 1000, 100, 480); // one second in 10 ms buffers
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
