#include "DecodedAudio.h"
#include "PulseTestServer.h"
#include "TonePlayer.h"

#include "recording/PulseRecordStream.h"

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace norla::test {
namespace {

    using namespace std::chrono_literals;

    // Collects a stream's blocks until enough audio has arrived.
    struct BlockCollector {
        std::mutex mutex;
        std::condition_variable arrived;
        std::vector<float> samples;
        std::vector<Duration> stamps;
        std::vector<std::size_t> sizes;
        int failures = 0;

        PulseRecordStream::BlockHandler blocks()
        {
            return [this](std::span<const float> block, Duration stamp) {
                std::lock_guard lock(mutex);
                samples.insert(samples.end(), block.begin(), block.end());
                stamps.push_back(stamp);
                sizes.push_back(block.size());
                arrived.notify_all();
            };
        }
        PulseRecordStream::FailureHandler failureHandler()
        {
            return [this](const Error&) {
                std::lock_guard lock(mutex);
                ++failures;
                arrived.notify_all();
            };
        }
        bool waitForSamples(std::size_t count, Duration timeout = 60s)
        {
            std::unique_lock lock(mutex);
            return arrived.wait_for(lock, timeout, [&] { return samples.size() >= count; });
        }
    };

    PulseRecordStream::Configuration monitorOf(std::string_view sink)
    {
        PulseRecordStream::Configuration configuration;
        configuration.device = std::string(sink) + ".monitor";
        configuration.streamName = "test";
        return configuration;
    }

    using PulseRecordStreamTest = PulseServerTest;

    TEST_F(PulseRecordStreamTest, BlocksCarryWhatTheSinkPlaysStampedBackToBackOnTheClock)
    {
        auto clock = std::make_shared<SteadyClock>();
        TonePlayer tone(std::string(PulseTestServer::systemSink), 440);
        ASSERT_TRUE(tone.isPlaying()) << tone.error();
        auto stream = PulseRecordStream::open(monitorOf(PulseTestServer::systemSink), clock);
        ASSERT_TRUE(stream) << stream.error().description();
        BlockCollector collector;
        auto openedAt = clock->now();
        stream.value()->start(collector.blocks(), collector.failureHandler());
        ASSERT_TRUE(collector.waitForSamples(32000));
        stream.value()->stop();
        auto stoppedAt = clock->now();

        std::lock_guard lock(collector.mutex);
        EXPECT_EQ(collector.failures, 0);
        // Blocks of 20 ms, each stamped where the previous one ended (but for a few steps back while the
        // first reads turn out late), all inside the time the stream ran.
        EXPECT_EQ(collector.sizes.front(), 320u);
        int corrections = 0;
        for (std::size_t i = 1; i < collector.stamps.size(); ++i) {
            auto step = toSeconds(collector.stamps[i] - collector.stamps[i - 1]);
            if (std::abs(step - 0.020) > 1e-6) {
                ++corrections;
                EXPECT_LT(step, 0.020) << "no gap at block " << i;
            }
        }
        EXPECT_LE(corrections, 5);
        auto span = toSeconds(collector.stamps.back() - collector.stamps.front());
        EXPECT_NEAR(span, 0.020 * double(collector.stamps.size() - 1), 0.1);
        EXPECT_GT(collector.stamps.front(), openedAt - 1s);
        EXPECT_LT(collector.stamps.back(), stoppedAt);
        // The last second holds the tone.
        auto& samples = collector.samples;
        EXPECT_GT(toneAmplitude(samples, 440, 16000, samples.size() - 16000), 0.3);
        EXPECT_LT(toneAmplitude(samples, 1000, 16000, samples.size() - 16000), 0.02);
    }

} // namespace
} // namespace norla::test
