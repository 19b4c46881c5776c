#include "DecodedAudio.h"
#include "LinuxRecorder.h"
#include "MeetingTones.h"
#include "PulseTestServer.h"
#include "TemporaryDirectory.h"
#include "TestEnvironment.h"
#include "TonePlayer.h"

#include "platform/PulsePlatformVersion.h"

#include <chrono>
#include <thread>

namespace norla::test {
namespace {

    using namespace std::chrono_literals;
    using Clock = std::chrono::steady_clock;

    double elapsed(Clock::time_point from, Clock::time_point to)
    {
        return std::chrono::duration<double>(to - from).count();
    }

    // Records through the recorder with the real Linux seams while the test server plays one tone as the
    // system's audio and another into the virtual microphone. Real audio flows in real time, so these tests
    // wait for it (and only here).
    class RecordingEndToEndTest : public PulseServerTest {
    protected:
        struct Recording {
            std::optional<DecodedAudio> audio;
            // How long it should last, within `slack` for the moments the test only brackets: the first
            // sound of a capture before the test saw it, each pause and resume somewhere inside its call.
            double expected = 0;
            double slack = 0;
            int segments = 0; // the microphone segments recorded
        };

        // Records 4 s, pauses while both tones change to the paused ones and back, records 4 s more and
        // stops.
        static Recording recordWithAPause(MeetingRecorder& recorder)
        {
            TonePlayer system(std::string(PulseTestServer::systemSink), systemTone);
            TonePlayer microphone(std::string(PulseTestServer::microphoneSink), microphoneTone);
            EXPECT_TRUE(system.isPlaying() && microphone.isPlaying()) << system.error() << microphone.error();
            auto waiting = Clock::now();
            EXPECT_TRUE(recorder.startAndWait());
            bool capture = recorder.state().hasCapture;
            if (capture) {
                while (!captureHasAudio(recorder) && Clock::now() < waiting + 60s)
                    std::this_thread::sleep_for(10ms);
            }
            auto started = Clock::now();
            std::this_thread::sleep_for(4s);
            auto pausing = Clock::now();
            EXPECT_TRUE(recorder.pause());
            auto paused = Clock::now();
            system.setFrequency(pausedSystemTone);
            microphone.setFrequency(pausedMicrophoneTone);
            std::this_thread::sleep_for(TonePlayer::changeDelay + 1s);
            system.setFrequency(systemTone);
            microphone.setFrequency(microphoneTone);
            // The paused tones leave the server before the recording goes on.
            std::this_thread::sleep_for(TonePlayer::changeDelay + 500ms);
            auto resuming = Clock::now();
            EXPECT_TRUE(recorder.resume());
            auto resumed = Clock::now();
            std::this_thread::sleep_for(4s);
            Recording recording;
            recording.segments = recorder.state().segmentIndex;
            auto stopping = Clock::now();
            auto path = recorder.stopAndWait();
            recording.expected = elapsed(started, paused) + elapsed(resumed, stopping);
            recording.slack = recording.expected * 0.02 + elapsed(pausing, paused) + elapsed(resuming, resumed)
                + (capture ? elapsed(waiting, started) : 0);
            EXPECT_TRUE(path) << path.error().description();
            if (path)
                recording.audio = DecodedAudio::decode(path.value());
            return recording;
        }

        TestEnvironment m_environment;
        TemporaryDirectory m_recordings;
    };

    TEST_F(RecordingEndToEndTest, SystemAudioLeftMicrophoneRightAndThePauseCutOut)
    {
        auto recorder = makeLinuxRecorder(m_recordings.path());
        auto recording = recordWithAPause(*recorder);
        auto& audio = recording.audio;
        ASSERT_TRUE(audio);
        // The mixdown's file holds the encoder's priming (1024 frames).
        EXPECT_NEAR(audio->duration() - 1024.0 / 16000, recording.expected, recording.slack);
        expectSystemLeftMicrophoneRight(*audio);
        // After the first half second (a source may take that long to deliver its first block).
        for (auto& channel : audio->samples)
            EXPECT_LT(longestSilence({ channel.begin() + 8000, channel.end() }, 16000), 0.1);
    }

    TEST_F(RecordingEndToEndTest, TheMicrophoneAloneAcrossRotationsWhereNoMonitorExists)
    {
        auto recorder = makeLinuxRecorder(
            m_recordings.path(), std::make_shared<PulsePlatformVersion>("no_such_sink.monitor"), 3s);
        auto recording = recordWithAPause(*recorder);
        EXPECT_GE(recording.segments, 4) << "a rotation, a resume and a rotation after it";
        auto& audio = recording.audio;
        ASSERT_TRUE(audio);
        EXPECT_EQ(audio->channels, 1) << "no monitor: a microphone session";
        EXPECT_NEAR(audio->duration(), recording.expected, recording.slack);
        auto& samples = audio->samples[0];
        EXPECT_GT(medianToneAmplitude(samples, microphoneTone, 16000), 0.3);
        for (auto tone : { systemTone, pausedSystemTone, pausedMicrophoneTone })
            EXPECT_LT(largestToneAmplitude(samples, tone, 16000), 0.05) << tone;
        EXPECT_LT(longestSilence({ samples.begin() + 8000, samples.end() }, 16000), 0.1);
    }

} // namespace
} // namespace norla::test
