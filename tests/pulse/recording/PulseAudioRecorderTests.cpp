#include "DecodedAudio.h"
#include "PulseTestServer.h"
#include "ShellQuoted.h"
#include "TemporaryDirectory.h"
#include "TestEnvironment.h"
#include "TonePlayer.h"

#include "recording/PulseAudioRecorders.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace norla::test {
namespace {

    using namespace std::chrono_literals;

    // The settings of every microphone segment.
    constexpr AudioFileSettings segmentSettings { audioFormatMpeg4Aac, 16000.0, 1, 32000 };

    // These tests record the live server in real time.
    class PulseAudioRecorderTest : public PulseServerTest {
    protected:
        std::filesystem::path file() const { return m_directory.path() / "segment-001.m4a"; }

        TestEnvironment m_environment; // for the log
        TemporaryDirectory m_directory;
        PulseAudioRecorders m_recorders;
    };

    TEST_F(PulseAudioRecorderTest, WhatCannotBeRecordedIsRefusedAndLeavesNoFile)
    {
        auto pcm = segmentSettings;
        pcm.formatId = 0x6C70636D; // "lpcm"
        EXPECT_FALSE(m_recorders.makeRecorder(file(), pcm));
        auto fractionalRate = segmentSettings;
        fractionalRate.sampleRate = 16000.5;
        EXPECT_FALSE(m_recorders.makeRecorder(file(), fractionalRate));

        PulseAudioRecorders missing(std::make_shared<SteadyClock>(), "no_such_source");
        auto recorder = missing.makeRecorder(file(), segmentSettings);
        ASSERT_TRUE(recorder);
        EXPECT_FALSE(recorder.value()->record());
        recorder.value()->stop();
        EXPECT_FALSE(std::filesystem::exists(file()));
        ASSERT_EQ(m_environment.log().lines().size(), 1u);
        EXPECT_TRUE(m_environment.log().lines()[0].starts_with("PulseAudioRecorder: "));
    }

    // On a server of the test's own, whose microphone goes away with nothing to take its place (a desktop's
    // server would move the stream to another microphone where one is left).
    TEST_F(PulseAudioRecorderTest, RecordsTheMicrophoneAsAacUntilItGoesAwayAndKeepsWhatCameBefore)
    {
        PrivatePulseServer server;
        ASSERT_TRUE(server.isRunning());
        TonePlayer microphone(std::string(PulseTestServer::microphoneSink), 1000, server.address());
        TonePlayer system(std::string(PulseTestServer::systemSink), 440, server.address());
        PulseAudioRecorders recorders(
            std::make_shared<SteadyClock>(), std::string(PulseAudioRecorder::defaultSource), server.address());
        auto recorder = recorders.makeRecorder(file(), segmentSettings);
        ASSERT_TRUE(recorder) << recorder.error().description();
        std::atomic<int> failures = 0;
        recorder.value()->setFailureHandler([&](const Error&) { ++failures; });
        auto started = std::chrono::steady_clock::now();
        ASSERT_TRUE(recorder.value()->record());
        EXPECT_TRUE(recorder.value()->record()) << "recording already";
        std::this_thread::sleep_for(2500ms);
        ASSERT_EQ(
            std::system(
                ("pactl --server=" + shellQuoted(server.address()) + " unload-module module-remap-source").c_str()),
            0);
        for (auto deadline = std::chrono::steady_clock::now() + 60s;
             failures == 0 && std::chrono::steady_clock::now() < deadline;)
            std::this_thread::sleep_for(10ms);
        std::chrono::duration<double> untilGone = std::chrono::steady_clock::now() - started;
        recorder.value()->stop();
        EXPECT_EQ(failures, 1);
        EXPECT_FALSE(recorder.value()->record()) << "a stopped recorder does not record again";

        auto audio = DecodedAudio::decode(file());
        ASSERT_TRUE(audio);
        EXPECT_EQ(audio->codec, "aac");
        EXPECT_EQ(audio->sampleRate, 16000);
        EXPECT_EQ(audio->channels, 1);
        EXPECT_NEAR(audio->bitRate, 32000, 8000);
        EXPECT_GT(audio->duration(), 2.25);
        EXPECT_LT(audio->duration(), untilGone.count() + 0.25) << "2.5 s and however long the unloading took";
        auto& samples = audio->samples[0];
        EXPECT_GT(toneAmplitude(samples, 1000, 16000, 8000, samples.size() - 4000), 0.3);
        EXPECT_LT(toneAmplitude(samples, 440, 16000, 8000, samples.size() - 4000), 0.02) << "only the microphone";
    }

} // namespace
} // namespace norla::test
