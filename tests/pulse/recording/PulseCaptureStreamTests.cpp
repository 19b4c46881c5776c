// The capture on PulseAudio, down to the record streams it is made of: their blocks, stamps and failures.
#include "DecodedAudio.h"
#include "PulseTestServer.h"
#include "TonePlayer.h"

#include "platform/Await.h"
#include "platform/PulsePlatformVersion.h"
#include "platform/SerialQueue.h"
#include "recording/PulseScreenCapture.h"
#include "recording/SystemAudioCapture.h"

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <map>
#include <mutex>

namespace norla::test {
namespace {

    using namespace std::chrono_literals;

    // What a stream delivered of one output type.
    struct Delivered {
        std::vector<float> samples;
        std::vector<double> stamps; // of each buffer
        std::vector<std::size_t> sizes;
    };

    // Records what a stream delivers, per output type; each delivery must be readable and on the queue.
    class RecordingOutput final : public StreamOutput, public StreamDelegate {
    public:
        explicit RecordingOutput(std::shared_ptr<TaskQueue> queue)
            : m_queue(std::move(queue))
        {
        }
        void didOutputSampleBuffer(const SampleBuffer& buffer, StreamOutputType type) override
        {
            EXPECT_TRUE(m_queue->isCurrent());
            auto input = AudioPcmBuffer::make(*buffer.formatDescription(), std::uint32_t(buffer.numSamples()));
            ASSERT_TRUE(input && buffer.copyPcmData(*input, buffer.numSamples()) == 0);
            auto channel = input->floatChannelData(0).first(input->frameLength());
            std::lock_guard lock(m_mutex);
            auto& delivered = m_delivered[type];
            delivered.samples.insert(delivered.samples.end(), channel.begin(), channel.end());
            delivered.stamps.push_back(*buffer.outputPresentationTime());
            delivered.sizes.push_back(buffer.numSamples());
            m_changed.notify_all();
        }
        void didStopWithError(const Error& error) override
        {
            std::lock_guard lock(m_mutex);
            m_stops.push_back(error.description());
            m_changed.notify_all();
        }
        template <class Predicate> bool waitFor(Predicate predicate)
        {
            std::unique_lock lock(m_mutex);
            return m_changed.wait_for(lock, 60s, [&] { return predicate(*this); });
        }

        std::mutex m_mutex;
        std::condition_variable m_changed;
        std::shared_ptr<TaskQueue> m_queue;
        std::map<StreamOutputType, Delivered> m_delivered;
        std::vector<std::string> m_stops;
    };

    using PulseCaptureStreamTest = PulseServerTest;

    // The test server's default sink has a monitor; a monitor that does not exist stands for a server without.
    TEST_F(PulseCaptureStreamTest, AMonitorMakesTheSystemAudioVersionAndOneDisplayToShare)
    {
        PulsePlatformVersion version;
        EXPECT_TRUE(version.isAtLeast(systemAudioMajorVersion, systemAudioMinorVersion));
        EXPECT_FALSE(
            PulsePlatformVersion("no_such_sink.monitor").isAtLeast(systemAudioMajorVersion, systemAudioMinorVersion));

        PulseScreenCapture capture;
        auto content = awaitCompletion<Result<ShareableContent>>(
            [&](auto done) { capture.getShareableContent(std::move(done)); });
        ASSERT_TRUE(content) << content.error().description();
        EXPECT_EQ(content.value().displays.size(), 1u);
        PulseScreenCapture noMonitor(std::make_shared<SteadyClock>(), { {}, "no_such_sink.monitor" });
        auto refused = awaitCompletion<Result<ShareableContent>>(
            [&](auto done) { noMonitor.getShareableContent(std::move(done)); });
        ASSERT_FALSE(refused);
        EXPECT_FALSE(refused.error().description().empty());
    }

    // On a server of the test's own, which it ends while the stream records: what the capture sees when the
    // sound server goes away.
    TEST_F(PulseCaptureStreamTest, SystemAudioAndMicrophoneArriveStampedBackToBackOnOneClockUntilTheServerGoes)
    {
        PrivatePulseServer server;
        ASSERT_TRUE(server.isRunning());
        TonePlayer system(std::string(PulseTestServer::systemSink), 440, server.address());
        TonePlayer microphone(std::string(PulseTestServer::microphoneSink), 1000, server.address());
        auto queue = std::make_shared<SerialQueue>("test.capture");
        auto output = std::make_shared<RecordingOutput>(queue);
        PulseScreenCapture capture(std::make_shared<SteadyClock>(), { server.address() });
        auto stream = capture.makeStream(ContentFilter {}, SystemAudioCapture::streamConfiguration(), output);
        for (auto type : { StreamOutputType::audio, StreamOutputType::microphone })
            ASSERT_TRUE(stream->addStreamOutput(output, type, queue));
        auto before = toSeconds(SteadyClock().now());
        auto started = awaitCompletion<Result<void>>([&](auto done) { stream->startCapture(std::move(done)); });
        ASSERT_TRUE(started) << started.error().description();
        ASSERT_TRUE(output->waitFor([](RecordingOutput& recorded) {
            return recorded.m_delivered[StreamOutputType::audio].samples.size() >= 32000
                && recorded.m_delivered[StreamOutputType::microphone].samples.size() >= 32000;
        }));
        auto after = toSeconds(SteadyClock().now());
        {
            std::lock_guard lock(output->m_mutex);
            EXPECT_EQ(output->m_delivered.count(StreamOutputType::screen), 0u);
            for (auto [type, tone, other] : { std::tuple(StreamOutputType::audio, 440, 1000),
                     std::tuple(StreamOutputType::microphone, 1000, 440) }) {
                SCOPED_TRACE(tone);
                auto& delivered = output->m_delivered[type];
                auto& samples = delivered.samples;
                // The last second holds the tone, and only that one.
                EXPECT_GT(toneAmplitude(samples, tone, 16000, samples.size() - 16000), 0.3);
                EXPECT_LT(toneAmplitude(samples, other, 16000, samples.size() - 16000), 0.02);
                // Blocks of 20 ms, each stamped where the previous one ended (but for a few steps back while
                // the first reads turn out late), all inside the time the stream ran; both sources began
                // together, so their first stamps on the shared clock lie close together.
                EXPECT_EQ(delivered.sizes.front(), 320u);
                int corrections = 0;
                for (std::size_t i = 1; i < delivered.stamps.size(); ++i) {
                    auto step = delivered.stamps[i] - delivered.stamps[i - 1];
                    auto length = double(delivered.sizes[i - 1]) / 16000;
                    if (std::abs(step - length) > 1e-6) {
                        ++corrections;
                        EXPECT_LT(step, length) << "no gap at block " << i;
                    }
                }
                EXPECT_LE(corrections, 5);
                EXPECT_NEAR(delivered.stamps.back() - delivered.stamps.front(),
                    double(samples.size() - delivered.sizes.back()) / 16000, 0.1);
                EXPECT_GT(delivered.stamps.front(), before - 1.0);
                EXPECT_LT(delivered.stamps.back(), after);
                EXPECT_NEAR(
                    delivered.stamps.front(), output->m_delivered[StreamOutputType::audio].stamps.front(), 0.25);
            }
        }

        server.stop();
        ASSERT_TRUE(output->waitFor([](RecordingOutput& recorded) { return !recorded.m_stops.empty(); }));
        auto stopped = awaitCompletion<Result<void>>([&](auto done) { stream->stopCapture(std::move(done)); });
        EXPECT_TRUE(stopped);
        queue->sync([] {});
        std::lock_guard lock(output->m_mutex);
        EXPECT_EQ(output->m_stops.size(), 1u) << "told once, though both sources failed";
        EXPECT_FALSE(output->m_stops.front().empty());
    }

} // namespace
} // namespace norla::test
