#include "DecodedAudio.h"
#include "PulseTestServer.h"
#include "TonePlayer.h"

#include "platform/Await.h"
#include "platform/SerialQueue.h"
#include "recording/PulseScreenCapture.h"
#include "recording/SystemAudioCapture.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>

namespace norla::test {
namespace {

    using namespace std::chrono_literals;

    // Records what a stream delivers, per output type, and whether each delivery ran on the expected queue.
    class RecordingOutput final : public StreamOutput, public StreamDelegate {
    public:
        explicit RecordingOutput(std::shared_ptr<TaskQueue> queue)
            : m_queue(std::move(queue))
        {
        }
        void didOutputSampleBuffer(const SampleBuffer& buffer, StreamOutputType type) override
        {
            auto format = buffer.formatDescription();
            auto input = AudioPcmBuffer::make(*format, static_cast<std::uint32_t>(buffer.numSamples()));
            std::lock_guard lock(m_mutex);
            m_onQueue = m_onQueue && m_queue->isCurrent();
            if (!input || buffer.copyPcmData(*input, buffer.numSamples()) != 0) {
                ++m_badBuffers;
                return;
            }
            auto channel = input->floatChannelData(0).first(input->frameLength());
            auto& samples = m_samples[type];
            samples.insert(samples.end(), channel.begin(), channel.end());
            if (!m_firstTime.contains(type))
                m_firstTime[type] = *buffer.outputPresentationTime();
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
        bool m_onQueue = true;
        int m_badBuffers = 0;
        std::map<StreamOutputType, std::vector<float>> m_samples;
        std::map<StreamOutputType, double> m_firstTime;
        std::vector<std::string> m_stops;
    };

    using PulseCaptureStreamTest = PulseServerTest;

    TEST_F(PulseCaptureStreamTest, TheShareableContentIsOneDisplayWhileTheMonitorCanBeRecorded)
    {
        PulseScreenCapture capture;
        auto content = awaitCompletion<Result<ShareableContent>>(
            [&](auto done) { capture.getShareableContent(std::move(done)); });
        ASSERT_TRUE(content) << content.error().description();
        EXPECT_EQ(content.value().displays.size(), 1u);

        PulseScreenCapture withoutMonitor(std::make_shared<SteadyClock>(), { {}, "no_such_sink.monitor" });
        auto refused = awaitCompletion<Result<ShareableContent>>(
            [&](auto done) { withoutMonitor.getShareableContent(std::move(done)); });
        ASSERT_FALSE(refused);
        EXPECT_FALSE(refused.error().description().empty());
    }

    // On a server of the test's own, which it ends while the stream records: what the capture sees when the
    // sound server goes away.
    TEST_F(PulseCaptureStreamTest, SystemAudioAndMicrophoneArriveAsTheirTypesOnOneClockUntilTheServerGoes)
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
            return recorded.m_samples[StreamOutputType::audio].size() >= 24000
                && recorded.m_samples[StreamOutputType::microphone].size() >= 24000;
        }));
        {
            std::lock_guard lock(output->m_mutex);
            EXPECT_TRUE(output->m_onQueue);
            EXPECT_EQ(output->m_badBuffers, 0);
            auto& audio = output->m_samples[StreamOutputType::audio];
            auto& mic = output->m_samples[StreamOutputType::microphone];
            auto tail = [](const std::vector<float>& samples) { return samples.size() - 16000; };
            EXPECT_GT(toneAmplitude(audio, 440, 16000, tail(audio)), 0.3);
            EXPECT_LT(toneAmplitude(audio, 1000, 16000, tail(audio)), 0.02);
            EXPECT_GT(toneAmplitude(mic, 1000, 16000, tail(mic)), 0.3);
            EXPECT_LT(toneAmplitude(mic, 440, 16000, tail(mic)), 0.02);
            // Both sources began together, so their first stamps on the shared clock lie close together.
            auto audioStart = output->m_firstTime[StreamOutputType::audio];
            EXPECT_NEAR(audioStart, output->m_firstTime[StreamOutputType::microphone], 0.25);
            EXPECT_GT(audioStart, before - 1.0);
            EXPECT_EQ(output->m_samples.count(StreamOutputType::screen), 0u);
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
