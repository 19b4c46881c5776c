#include "DecodedAudio.h"
#include "PulseTestServer.h"
#include "TemporaryDirectory.h"
#include "TestEnvironment.h"
#include "TonePlayer.h"

#include "recording/PulseAudioRecorders.h"

#include <chrono>
#include <thread>

namespace norla::test {
namespace {

    using namespace std::chrono_literals;

    // The settings of every microphone segment.
    constexpr AudioFileSettings segmentSettings { audioFormatMpeg4Aac, 16000.0, 1, 32000 };

    class PulseAudioRecorderTest : public PulseServerTest {
    protected:
        // Lets real audio flow for a while: these tests record the live server in real time.
        static void record(Duration length) { std::this_thread::sleep_for(length); }

        TemporaryDirectory m_directory;
        PulseAudioRecorders m_recorders;
    };

    TEST_F(PulseAudioRecorderTest, RecordsTheMicrophoneAsAacAtTheSegmentSettings)
    {
        TonePlayer microphone(std::string(PulseTestServer::microphoneSink), 1000);
        TonePlayer system(std::string(PulseTestServer::systemSink), 440);
        auto file = m_directory.path() / "segment-001.m4a";
        auto recorder = m_recorders.makeRecorder(file, segmentSettings);
        ASSERT_TRUE(recorder) << recorder.error().description();
        ASSERT_TRUE(recorder.value()->record());
        EXPECT_TRUE(recorder.value()->record()) << "recording already";
        record(2500ms);
        recorder.value()->stop();

        auto audio = DecodedAudio::decode(file);
        ASSERT_TRUE(audio);
        EXPECT_EQ(audio->codec, "aac");
        EXPECT_EQ(audio->sampleRate, 16000);
        EXPECT_EQ(audio->channels, 1);
        EXPECT_NEAR(audio->bitRate, 32000, 8000);
        EXPECT_NEAR(audio->duration(), 2.5, 0.25);
        auto& samples = audio->samples[0];
        EXPECT_GT(toneAmplitude(samples, 1000, 16000, 8000, samples.size() - 4000), 0.3);
        EXPECT_LT(toneAmplitude(samples, 440, 16000, 8000, samples.size() - 4000), 0.02) << "only the microphone";
        EXPECT_FALSE(recorder.value()->record()) << "a stopped recorder does not record again";
    }

    TEST_F(PulseAudioRecorderTest, RecordAnswersFalseAndLeavesNoFileWhenTheSourceCannotBeOpened)
    {
        TestEnvironment environment;
        PulseAudioRecorders recorders(std::make_shared<SteadyClock>(), "no_such_source");
        auto file = m_directory.path() / "segment-001.m4a";
        auto recorder = recorders.makeRecorder(file, segmentSettings);
        ASSERT_TRUE(recorder);
        EXPECT_FALSE(recorder.value()->record());
        recorder.value()->stop();
        EXPECT_FALSE(std::filesystem::exists(file));
        ASSERT_EQ(environment.log().lines().size(), 1u);
        EXPECT_TRUE(environment.log().lines()[0].starts_with("PulseAudioRecorder: "));
    }

    TEST_F(PulseAudioRecorderTest, SettingsOtherThanAacAreRefusedAtCreation)
    {
        auto pcm = segmentSettings;
        pcm.formatId = 0x6C70636D; // "lpcm"
        EXPECT_FALSE(m_recorders.makeRecorder(m_directory.path() / "a.m4a", pcm));
        auto fractionalRate = segmentSettings;
        fractionalRate.sampleRate = 16000.5;
        EXPECT_FALSE(m_recorders.makeRecorder(m_directory.path() / "b.m4a", fractionalRate));
    }

} // namespace
} // namespace norla::test
