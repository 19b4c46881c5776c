#include "RecorderTestBench.h"

#include "recording/CaptureError.h"

#include <gtest/gtest.h>

#include <cmath>

namespace norla {
namespace {

    using test::FakeSampleBuffer;

    class SystemAudioCaptureTest : public ::testing::Test {
    protected:
        std::filesystem::path dir() const { return m_bench.temporary.path(); }
        Result<std::shared_ptr<SystemAudioCapture>> start()
        {
            return SystemAudioCapture::start(dir(), m_bench.dependencies().capture);
        }
        test::FakeCaptureStream& stream() { return *m_bench.screenCapture->lastStream(); }
        void deliver(
            StreamOutputType type, std::optional<double> time, std::size_t count, float value, double rate = 16000)
        {
            stream().deliver(FakeSampleBuffer::of(time, count, value, rate), type);
        }
        std::vector<float> system() { return test::readSamples(dir() / "system.f32"); }
        std::vector<float> mic() { return test::readSamples(dir() / "mic.f32"); }
        void onQueue(const std::shared_ptr<SystemAudioCapture>& capture, void (SystemAudioCapture::*operation)())
        {
            capture->queue().sync([&] { ((*capture).*operation)(); });
        }

        test::RecorderTestBench m_bench;
    };

    TEST_F(SystemAudioCaptureTest, StartFailuresSayWhy)
    {
        m_bench.screenCapture->setContent(Error::platform("declined"));
        EXPECT_EQ(start().error().description(), "画面収録が許可されていません: declined");
        m_bench.screenCapture->setContent(ShareableContent {});
        EXPECT_EQ(start().error().description(), "画面が見つかりません");
        m_bench.screenCapture->setContent(ShareableContent { { Display { 1 } } });
        m_bench.screenCapture->plan([](auto& plan) { plan.refusedOutput = StreamOutputType::microphone; });
        EXPECT_EQ(start().error().description(), "The stream output could not be added.");
        m_bench.screenCapture->plan([](auto& plan) {
            plan.refusedOutput.reset();
            plan.startFailure = Error::platform("stream failed");
        });
        EXPECT_TRUE(start().error().is(CaptureError::permissionDenied));
    }

    TEST_F(SystemAudioCaptureTest, TheFirstBufferWithSamplesSetsTheOriginOfBothTracksForFiveHours)
    {
        auto capture = start().valueOrThrow();
        deliver(StreamOutputType::audio, 99.0, 0, 0.0f); // no samples: no origin
        EXPECT_FALSE(capture->origin());
        deliver(StreamOutputType::audio, 100.0, 160, 0.25f);
        deliver(StreamOutputType::microphone, 100.5, 160, 0.75f);
        deliver(StreamOutputType::audio, 99.5, 16, 0.5f); // before the origin: at 0
        EXPECT_EQ(capture->origin(), 100.0);
        auto systemTrack = system();
        ASSERT_EQ(systemTrack.size(), 160u);
        EXPECT_EQ(systemTrack[0], 0.5f);
        EXPECT_EQ(mic().size(), 8000u + 160u) << "the microphone starts half a second after the origin";

        // Blocks at or beyond five hours are dropped, the last one before is written whole.
        auto samples = [&] { return std::filesystem::file_size(dir() / "system.f32") / sizeof(float); };
        deliver(StreamOutputType::audio, 100.0 + 18000.0, 16, 0.2f);
        EXPECT_EQ(samples(), 160u);
        deliver(StreamOutputType::audio, 100.0 + 17999.999, 160, 0.3f);
        EXPECT_EQ(samples(), static_cast<std::uintmax_t>(std::floor(17999.999 * 16000)) + 160);
    }

    TEST_F(SystemAudioCaptureTest, PausesAreCutOutOfTheTimeline)
    {
        auto capture = start().valueOrThrow();
        onQueue(capture, &SystemAudioCapture::pause); // before any buffer: nothing to cut
        onQueue(capture, &SystemAudioCapture::resume);
        EXPECT_EQ(capture->pausedTotal(), 0.0);

        // Blocks of 1000 frames last 0.0625 s, which binary floating point holds exactly.
        deliver(StreamOutputType::audio, 10.0, 1000, 0.1f);
        deliver(StreamOutputType::audio, 10.0625, 1000, 0.2f);
        onQueue(capture, &SystemAudioCapture::pause);
        deliver(StreamOutputType::audio, 12.0, 1000, 0.9f); // paused: not written
        onQueue(capture, &SystemAudioCapture::pause); // keeps the first pause
        deliver(StreamOutputType::microphone, 15.0625, 1000, 0.9f);
        EXPECT_EQ(system().size(), 2000u);
        onQueue(capture, &SystemAudioCapture::resume);
        onQueue(capture, &SystemAudioCapture::resume); // not paused: nothing
        EXPECT_DOUBLE_EQ(capture->pausedTotal(), 5.0);

        deliver(StreamOutputType::audio, 15.125, 1000, 0.3f);
        auto track = system();
        ASSERT_EQ(track.size(), 3000u) << "the first block after the pause follows the last one before it";
        EXPECT_EQ(track[2000], 0.3f);
        EXPECT_TRUE(mic().empty());
    }

    TEST_F(SystemAudioCaptureTest, EachOutputKeepsItsConverterWhileItsFormatStaysAndUnusableBuffersChangeNothing)
    {
        auto capture = start().valueOrThrow();
        deliver(StreamOutputType::audio, 1.0, 480, 0.1f, 48000.0);
        deliver(StreamOutputType::microphone, 1.0, 480, 0.1f, 48000.0);
        deliver(StreamOutputType::audio, 1.01, 480, 0.1f, 48000.0);
        EXPECT_EQ(m_bench.converters->madeFrom().size(), 2u);
        EXPECT_EQ(system().size(), 320u) << "48000 Hz resampled to 16000 Hz";

        deliver(StreamOutputType::audio, 1.02, 441, 0.1f, 44100.0);
        deliver(StreamOutputType::microphone, 1.02, 480, 0.1f, 48000.0);
        auto made = m_bench.converters->madeFrom();
        ASSERT_EQ(made.size(), 3u) << "only the audio output's converter is replaced";
        EXPECT_EQ(made[2].sampleRate, 44100.0);

        m_bench.converters->refuseSampleRate(22050.0);
        deliver(StreamOutputType::audio, 1.03, 220, 0.1f, 22050.0);
        deliver(StreamOutputType::audio, 1.04, 441, 0.1f, 44100.0);
        EXPECT_EQ(m_bench.converters->madeFrom().size(), 4u) << "a refused format drops the old converter";

        auto systemSize = system().size(), micSize = mic().size();
        auto invalid = FakeSampleBuffer::of(9.0, 16, 0.5f);
        invalid.valid = false;
        stream().deliver(invalid, StreamOutputType::audio);
        deliver(StreamOutputType::audio, std::nullopt, 16, 0.5f);
        capture->queue().sync(
            [&] { capture->didOutputSampleBuffer(FakeSampleBuffer::of(9.0, 16, 0.5f), StreamOutputType::screen); });
        auto uncopyable = FakeSampleBuffer::of(9.0, 16, 0.5f);
        uncopyable.copyStatus = -12731;
        stream().deliver(uncopyable, StreamOutputType::audio);
        EXPECT_EQ(capture->lastPTS(), 9.0) << "an unconvertible buffer still moves lastPTS";
        m_bench.converters->failConversions(true);
        deliver(StreamOutputType::microphone, 10.0, 16, 0.5f);
        EXPECT_EQ(system().size(), systemSize);
        EXPECT_EQ(mic().size(), micSize);
    }

    TEST_F(SystemAudioCaptureTest, AStreamThatStopsByItselfIsReportedAndStillMixedOnStop)
    {
        test::CaptureFailures failures;
        auto capture = start().valueOrThrow();
        deliver(StreamOutputType::microphone, 1.0, 1600, 0.5f);
        stream().delegate.lock()->didStopWithError(Error::platform("display disconnected"));
        m_bench.environment.main().runUntilIdle();
        EXPECT_EQ(failures.texts, (std::vector<std::string> { "display disconnected" }));
        EXPECT_TRUE(m_bench.environment.log().contains("SystemAudioCapture stopped: display disconnected"));

        EXPECT_EQ(capture->stop().value(), dir() / "meeting.m4a");
        EXPECT_EQ(stream().stopCount(), 1) << "the stopped stream is still asked to stop";
        EXPECT_FALSE(std::filesystem::exists(dir() / "mic.f32"));
    }

} // namespace
} // namespace norla
