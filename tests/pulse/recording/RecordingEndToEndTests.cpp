#include "DecodedAudio.h"
#include "FakeNoticePresenter.h"
#include "LinuxRecorder.h"
#include "MeetingTones.h"
#include "PulseTestServer.h"
#include "TemporaryDirectory.h"
#include "TestEnvironment.h"
#include "TonePlayer.h"

#include "platform/NotificationCenter.h"
#include "platform/PulsePlatformVersion.h"
#include "recording/LinuxRecordingSeams.h"
#include "web/OfficeNotifications.h"

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace norla::test {
namespace {

    using namespace std::chrono_literals;

    // Records through the recorder with the real Linux seams while the test server plays one tone as the
    // system's audio and another into the virtual microphone. Real audio flows in real time, so these tests
    // wait for it (and only here).
    class RecordingEndToEndTest : public PulseServerTest {
    protected:
        void SetUp() override
        {
            PulseServerTest::SetUp();
            installLinuxRecordingSeams();
        }
        static void let(Duration length) { std::this_thread::sleep_for(length); }
        static double elapsed(std::chrono::steady_clock::time_point from, std::chrono::steady_clock::time_point to)
        {
            return std::chrono::duration<double>(to - from).count();
        }
        // Waits until the capture has delivered its first sound.
        static bool waitForAudio(MeetingRecorder& recorder)
        {
            auto deadline = std::chrono::steady_clock::now() + 60s;
            while (!captureHasAudio(recorder) && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(10ms);
            return captureHasAudio(recorder);
        }

        TestEnvironment m_environment;
        TemporaryDirectory m_recordings;
        std::shared_ptr<FakeNoticePresenter> m_notices = std::make_shared<FakeNoticePresenter>();
    };

    TEST_F(RecordingEndToEndTest, SystemAudioLeftMicrophoneRightAndThePauseCutOut)
    {
        TonePlayer system(std::string(PulseTestServer::systemSink), systemTone);
        TonePlayer microphone(std::string(PulseTestServer::microphoneSink), microphoneTone);
        ASSERT_TRUE(system.isPlaying() && microphone.isPlaying()) << system.error() << microphone.error();
        auto recorder = makeLinuxRecorder({ m_recordings.path(), nullptr, m_notices, std::nullopt, {}, {} });

        ASSERT_TRUE(recorder->startAndWait());
        ASSERT_TRUE(recorder->state().hasCapture) << "the test server has a monitor: a system-audio session";
        auto waiting = std::chrono::steady_clock::now();
        ASSERT_TRUE(waitForAudio(*recorder));
        auto started = std::chrono::steady_clock::now();
        let(4s);
        auto pausing = std::chrono::steady_clock::now();
        ASSERT_TRUE(recorder->pause());
        auto paused = std::chrono::steady_clock::now();
        system.setFrequency(pausedSystemTone);
        microphone.setFrequency(pausedMicrophoneTone);
        let(TonePlayer::changeDelay + 1s);
        system.setFrequency(systemTone);
        microphone.setFrequency(microphoneTone);
        let(TonePlayer::changeDelay + 500ms); // the paused tones leave the server before the recording goes on
        auto resuming = std::chrono::steady_clock::now();
        ASSERT_TRUE(recorder->resume());
        auto resumed = std::chrono::steady_clock::now();
        let(4s);
        auto stopping = std::chrono::steady_clock::now();
        auto path = recorder->stopAndWait();
        ASSERT_TRUE(path) << path.error().description();

        EXPECT_EQ(path.value().filename(), "meeting.m4a");
        EXPECT_FALSE(std::filesystem::exists(path.value().parent_path() / "system.f32"));
        auto audio = DecodedAudio::decode(path.value());
        ASSERT_TRUE(audio);
        EXPECT_EQ(audio->codec, "aac");
        EXPECT_EQ(audio->sampleRate, 16000);
        ASSERT_EQ(audio->channels, 2);
        // The file holds the encoder's priming (1024 frames), and sound from moments the test only brackets:
        // the first sound before the test saw it, and each pause and resume somewhere inside its call.
        auto expected = elapsed(started, paused) + elapsed(resumed, stopping);
        auto bracketed = elapsed(waiting, started) + elapsed(pausing, paused) + elapsed(resuming, resumed);
        EXPECT_NEAR(audio->duration() - 1024.0 / 16000, expected, expected * 0.02 + bracketed);
        expectSystemLeftMicrophoneRight(*audio);
        auto& left = audio->samples[0];
        auto& right = audio->samples[1];
        // After the first half second (a source may take that long to deliver its first block).
        EXPECT_LT(longestSilence({ left.begin() + 8000, left.end() }, 16000), 0.1);
        EXPECT_LT(longestSilence({ right.begin() + 8000, right.end() }, 16000), 0.1);
        EXPECT_TRUE(m_notices->notices().empty());
    }

    TEST_F(RecordingEndToEndTest, TheMicrophoneAloneAcrossRotationsWhereNoMonitorExists)
    {
        TonePlayer system(std::string(PulseTestServer::systemSink), systemTone);
        TonePlayer microphone(std::string(PulseTestServer::microphoneSink), microphoneTone);
        auto version = std::make_shared<PulsePlatformVersion>("no_such_sink.monitor");
        auto recorder = makeLinuxRecorder({ m_recordings.path(), version, m_notices, 3s, {}, {} });

        ASSERT_TRUE(recorder->startAndWait());
        auto started = std::chrono::steady_clock::now();
        ASSERT_TRUE(recorder->state().hasRecorder) << "no monitor: a microphone session";
        let(4s);
        ASSERT_TRUE(recorder->pause());
        auto paused = std::chrono::steady_clock::now();
        let(1s);
        ASSERT_TRUE(recorder->resume());
        auto resumed = std::chrono::steady_clock::now();
        let(3s);
        auto segments = recorder->state().segmentIndex;
        auto stopping = std::chrono::steady_clock::now();
        auto path = recorder->stopAndWait();
        ASSERT_TRUE(path) << path.error().description();

        EXPECT_GE(segments, 4) << "a rotation, a resume and a rotation after it";
        EXPECT_TRUE(recorder->listSegments(path.value().parent_path()).empty());
        auto audio = DecodedAudio::decode(path.value());
        ASSERT_TRUE(audio);
        EXPECT_EQ(audio->codec, "aac");
        auto expected = elapsed(started, paused) + elapsed(resumed, stopping);
        EXPECT_NEAR(audio->duration(), expected, expected * 0.02);
        auto& samples = audio->samples[0];
        EXPECT_GT(medianToneAmplitude(samples, microphoneTone, 16000), 0.3);
        EXPECT_LT(largestToneAmplitude(samples, systemTone, 16000), 0.05);
        EXPECT_LT(longestSilence({ samples.begin() + 8000, samples.end() }, 16000), 0.1);
    }

    TEST_F(RecordingEndToEndTest, AMicrophoneThatDisappearsWithNoOtherLeftEndsTheSessionAndTheUserIsTold)
    {
        PrivatePulseServer server;
        ASSERT_TRUE(server.isRunning());
        TonePlayer microphone(std::string(PulseTestServer::microphoneSink), microphoneTone, server.address());
        std::mutex mutex; // the recorder posts on its own queue
        std::vector<std::string> posted;
        auto failures = [&] {
            std::lock_guard lock(mutex);
            return posted;
        };
        auto observer = NotificationCenter::defaultCenter().addObserver(
            std::string(officeCaptureFailed), [&](const Notification& notification) {
                std::lock_guard lock(mutex);
                posted.push_back(std::any_cast<std::string>(notification.object));
            });
        auto version = std::make_shared<PulsePlatformVersion>("no_such_sink.monitor");
        auto recorder
            = makeLinuxRecorder({ m_recordings.path(), version, m_notices, std::nullopt, {}, server.address() });

        ASSERT_TRUE(recorder->startAndWait());
        ASSERT_TRUE(recorder->state().hasRecorder) << "no monitor: a microphone session";
        let(2s);
        // The microphone goes away with nothing to take its place (a desktop's server would move the stream
        // to another microphone where one is left).
        auto unload = "pactl --server='" + server.address() + "' unload-module module-remap-source";
        auto lost = std::chrono::steady_clock::now();
        ASSERT_EQ(std::system(unload.c_str()), 0);
        auto deadline = lost + 60s;
        while ((failures().empty() || m_notices->notices().empty()) && std::chrono::steady_clock::now() < deadline) {
            m_environment.main().runUntilIdle();
            std::this_thread::sleep_for(10ms);
        }
        NotificationCenter::defaultCenter().removeObserver(observer);
        ASSERT_EQ(failures().size(), 1u) << "the session ends as a failed capture does";
        ASSERT_EQ(m_notices->notices().size(), 1u);
        EXPECT_EQ(m_notices->notices()[0].first, "マイクが使えなくなりました");
        EXPECT_FALSE(recorder->state().hasRecorder) << "no segment records nothing";
        EXPECT_TRUE(recorder->isRecording()) << "until the session is stopped";

        auto path = recorder->stopAndWait();
        ASSERT_TRUE(path) << path.error().description();
        auto audio = DecodedAudio::decode(path.value());
        ASSERT_TRUE(audio);
        EXPECT_NEAR(audio->duration(), 2.0, 0.5) << "what was recorded before the microphone went is kept";
        EXPECT_GT(medianToneAmplitude(audio->samples[0], microphoneTone, 16000), 0.3);
    }

} // namespace
} // namespace norla::test
