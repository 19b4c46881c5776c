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
            return m_changed.wait_for(lock, 10s, [&] { return predicate(*this); });
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

    class PulseCaptureStreamTests : public PulseServerTest {
    protected:
        std::shared_ptr<CaptureStream> startedStream()
        {
            auto stream = m_capture.makeStream(ContentFilter {}, SystemAudioCapture::streamConfiguration(), m_output);
            for (auto type : { StreamOutputType::audio, StreamOutputType::microphone })
                EXPECT_TRUE(stream->addStreamOutput(m_output, type, m_queue));
            auto started = awaitCompletion<Result<void>>([&](auto done) { stream->startCapture(std::move(done)); });
            EXPECT_TRUE(started) << started.error().description();
            return stream;
        }
        void stop(CaptureStream& stream)
        {
            auto stopped = awaitCompletion<Result<void>>([&](auto done) { stream.stopCapture(std::move(done)); });
            EXPECT_TRUE(stopped);
            m_queue->sync([] {});
        }

        PulseScreenCapture m_capture;
        std::shared_ptr<TaskQueue> m_queue = std::make_shared<SerialQueue>("test.capture");
        std::shared_ptr<RecordingOutput> m_output = std::make_shared<RecordingOutput>(m_queue);
    };

    TEST_F(PulseCaptureStreamTests, TheShareableContentIsOneDisplayWhileTheMonitorCanBeRecorded)
    {
        auto content = awaitCompletion<Result<ShareableContent>>(
            [&](auto done) { m_capture.getShareableContent(std::move(done)); });
        ASSERT_TRUE(content) << content.error().description();
        EXPECT_EQ(content.value().displays.size(), 1u);

        PulseScreenCapture withoutMonitor(std::make_shared<SteadyClock>(), { {}, "no_such_sink.monitor" });
        auto refused = awaitCompletion<Result<ShareableContent>>(
            [&](auto done) { withoutMonitor.getShareableContent(std::move(done)); });
        ASSERT_FALSE(refused);
        EXPECT_FALSE(refused.error().description().empty());
    }

    TEST_F(PulseCaptureStreamTests, SystemAudioAndMicrophoneArriveAsTheirTypesOnTheQueueOnOneClock)
    {
        TonePlayer system(std::string(PulseTestServer::systemSink), 440);
        TonePlayer microphone(std::string(PulseTestServer::microphoneSink), 1000);
        auto before = toSeconds(SteadyClock().now());
        auto stream = startedStream();
        ASSERT_TRUE(m_output->waitFor([](RecordingOutput& output) {
            return output.m_samples[StreamOutputType::audio].size() >= 24000
                && output.m_samples[StreamOutputType::microphone].size() >= 24000;
        }));
        stop(*stream);

        std::lock_guard lock(m_output->m_mutex);
        EXPECT_TRUE(m_output->m_onQueue);
        EXPECT_EQ(m_output->m_badBuffers, 0);
        auto& audio = m_output->m_samples[StreamOutputType::audio];
        auto& mic = m_output->m_samples[StreamOutputType::microphone];
        auto tail = [](const std::vector<float>& samples) { return samples.size() - 16000; };
        EXPECT_GT(toneAmplitude(audio, 440, 16000, tail(audio)), 0.3);
        EXPECT_LT(toneAmplitude(audio, 1000, 16000, tail(audio)), 0.02);
        EXPECT_GT(toneAmplitude(mic, 1000, 16000, tail(mic)), 0.3);
        EXPECT_LT(toneAmplitude(mic, 440, 16000, tail(mic)), 0.02);
        // Both sources began together, so their first stamps on the shared clock lie close together.
        auto audioStart = m_output->m_firstTime[StreamOutputType::audio];
        auto micStart = m_output->m_firstTime[StreamOutputType::microphone];
        EXPECT_NEAR(audioStart, micStart, 0.25);
        EXPECT_GT(audioStart, before - 1.0);
        EXPECT_EQ(m_output->m_samples.count(StreamOutputType::screen), 0u);
    }

    TEST_F(PulseCaptureStreamTests, ASourceThatFailsWhileCapturingStopsTheStreamAndTellsTheDelegateOnce)
    {
        PrivatePulseServer server;
        ASSERT_TRUE(server.isRunning());
        PulseScreenCapture capture(std::make_shared<SteadyClock>(), { server.address() });
        auto stream = capture.makeStream(ContentFilter {}, SystemAudioCapture::streamConfiguration(), m_output);
        for (auto type : { StreamOutputType::audio, StreamOutputType::microphone })
            ASSERT_TRUE(stream->addStreamOutput(m_output, type, m_queue));
        auto started = awaitCompletion<Result<void>>([&](auto done) { stream->startCapture(std::move(done)); });
        ASSERT_TRUE(started) << started.error().description();
        ASSERT_TRUE(m_output->waitFor(
            [](RecordingOutput& output) { return output.m_samples[StreamOutputType::audio].size() >= 1600; }));
        server.stop();
        ASSERT_TRUE(m_output->waitFor([](RecordingOutput& output) { return !output.m_stops.empty(); }));
        stop(*stream);
        std::lock_guard lock(m_output->m_mutex);
        EXPECT_EQ(m_output->m_stops.size(), 1u);
        EXPECT_FALSE(m_output->m_stops.front().empty());
    }

    TEST_F(PulseCaptureStreamTests, AStartFailsWithTheReasonWhenASourceIsMissing)
    {
        PulseScreenCapture capture(std::make_shared<SteadyClock>(), { {}, "@DEFAULT_MONITOR@", "no_such_source" });
        auto stream = capture.makeStream(ContentFilter {}, SystemAudioCapture::streamConfiguration(), m_output);
        auto started = awaitCompletion<Result<void>>([&](auto done) { stream->startCapture(std::move(done)); });
        ASSERT_FALSE(started);
        EXPECT_FALSE(started.error().description().empty());
    }

} // namespace
} // namespace norla::test
