#include "ChildProcess.h"
#include "DecodedAudio.h"
#include "LinuxRecorder.h"
#include "MeetingTones.h"
#include "PulseTestServer.h"
#include "TemporaryDirectory.h"
#include "TestEnvironment.h"
#include "TonePlayer.h"

#include "recording/FfmpegFragmentedAacFile.h"
#include "recording/RecordingFiles.h"

#include <cmath>
#include <fstream>
#include <map>
#include <numbers>
#include <random>
#include <thread>

namespace norla::test {
namespace {

    using namespace std::chrono_literals;

    // Left-over recordings long enough that finishing them takes a while to be killed in.
    constexpr int leftoverSeconds = 120;

    enum class Kind {
        capturingSystemAudio,
        capturingMicrophone,
        stopping,
        mixingDown,
        merging,
    };

    const char* name(Kind kind)
    {
        switch (kind) {
        case Kind::capturingSystemAudio:
            return "killed while capturing system audio";
        case Kind::capturingMicrophone:
            return "killed while recording microphone segments";
        case Kind::stopping:
            return "killed while stopping";
        case Kind::mixingDown:
            return "killed during a mixdown";
        case Kind::merging:
            return "killed during a merge";
        }
        return "";
    }

    std::vector<float> tone(double frequency, std::size_t frames, std::size_t offset = 0)
    {
        std::vector<float> samples(frames);
        for (std::size_t i = 0; i < frames; ++i)
            samples[i] = 0.5f * float(std::sin(2 * std::numbers::pi * frequency * double(offset + i) / 16000));
        return samples;
    }

    // Raw tracks as a capture killed after `seconds` leaves them.
    void writeRawTracks(const std::filesystem::path& dir, int seconds)
    {
        for (auto [file, frequency] : { std::pair { RecordingFiles::systemTrackName, systemTone },
                 std::pair { RecordingFiles::micTrackName, microphoneTone } }) {
            std::ofstream out(dir / file, std::ios::binary);
            auto samples = tone(frequency, std::size_t(seconds) * 16000);
            out.write(reinterpret_cast<const char*>(samples.data()), std::streamsize(samples.size() * sizeof(float)));
        }
    }

    // Segments as a microphone session leaves them, written by the segment recorder's own file writer.
    bool writeSegments(const std::filesystem::path& dir, int count, int seconds)
    {
        AudioFormat format { AudioCommonFormat::pcmFloat32, 16000, 1, false };
        for (int number = 1; number <= count; ++number) {
            auto file = FfmpegFragmentedAacFile::open(
                dir / RecordingFiles::segmentFileName(number), { audioFormatMpeg4Aac, 16000, 1, 32000 }, format);
            if (!file)
                return false;
            auto buffer = AudioPcmBuffer::make(format, 16000);
            for (int second = 0; second < seconds; ++second) {
                auto samples = tone(microphoneTone, 16000, std::size_t(second) * 16000);
                std::copy(samples.begin(), samples.end(), buffer->floatChannelData(0).begin());
                buffer->setFrameLength(16000);
                if (!file.value()->write(*buffer))
                    return false;
            }
            if (!file.value()->close())
                return false;
        }
        return true;
    }

    struct Round {
        Kind kind;
        std::filesystem::path root;
        double killedAfter = 0;
    };

    class CrashSafetyTests : public PulseServerTest {
    protected:
        void SetUp() override
        {
            PulseServerTest::SetUp();
            installRecordingTestSeams();
        }

        ChildProcess child(const char* mode, const std::filesystem::path& root, const std::string& extra = {})
        {
            std::vector<std::string> arguments { NORLA_RECORDING_CHILD, mode, root.string() };
            if (!extra.empty())
                arguments.push_back(extra);
            return ChildProcess(arguments);
        }

        // A left-over session to finish, in a recordings directory of its own.
        std::filesystem::path leftover(const std::filesystem::path& root, Kind kind)
        {
            auto dir = root / "0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0";
            std::filesystem::create_directories(dir);
            if (kind == Kind::mixingDown)
                writeRawTracks(dir, leftoverSeconds);
            else
                EXPECT_TRUE(writeSegments(dir, 3, leftoverSeconds / 3));
            return dir;
        }

        // How long a child takes to finish a left-over of this kind when nobody kills it.
        double timeToFinish(Kind kind)
        {
            auto root = m_directory.path() / (std::string("calibration-") + std::to_string(int(kind)));
            leftover(root, kind);
            auto began = std::chrono::steady_clock::now();
            auto process = child("pending", root);
            auto line = process.readLine(120s);
            EXPECT_TRUE(line && line->starts_with("done ")) << (line ? *line : "no answer");
            return std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        }

        void killAndRecover(const std::vector<Kind>& kinds, int count);

        TestEnvironment m_environment;
        TemporaryDirectory m_directory;
    };

    // Kills a recording child `count` times at random moments, taking the kinds in turn, then checks that a
    // process that never recorded finds every recording again, each one whole.
    void CrashSafetyTests::killAndRecover(const std::vector<Kind>& kinds, int count)
    {
        TonePlayer system(std::string(PulseTestServer::systemSink), systemTone);
        TonePlayer microphone(std::string(PulseTestServer::microphoneSink), microphoneTone);
        auto seed = std::random_device {}();
        std::mt19937 random(seed);
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::map<Kind, double> finishing;
        for (auto kind : kinds) {
            if (kind == Kind::mixingDown || kind == Kind::merging)
                finishing[kind] = timeToFinish(kind);
        }

        std::vector<Round> rounds;
        for (int round = 0; round < count; ++round) {
            auto kind = kinds[std::size_t(round) % kinds.size()];
            auto root = m_directory.path() / ("round-" + std::to_string(round));
            std::filesystem::create_directories(root);
            Round done { kind, root };
            switch (kind) {
            case Kind::capturingSystemAudio:
            case Kind::capturingMicrophone: {
                auto process = child(kind == Kind::capturingMicrophone ? "microphone" : "system", root);
                auto line = process.readLine(30s);
                ASSERT_TRUE(line && line->starts_with("recording "))
                    << name(kind) << ": " << (line ? *line : "no answer");
                // Long enough for audible sound to be in the files, across rotations for the microphone.
                done.killedAfter = std::uniform_real_distribution(1.5, 4.0)(random);
                std::this_thread::sleep_for(std::chrono::duration<double>(done.killedAfter));
                process.kill();
                break;
            }
            case Kind::stopping: {
                auto process = child("stop", root, "1.5");
                auto line = process.readLine(30s);
                ASSERT_TRUE(line && line->starts_with("recording ")) << (line ? *line : "no answer");
                line = process.readLine(30s);
                ASSERT_TRUE(line && *line == "stopping") << (line ? *line : "no answer");
                done.killedAfter = std::uniform_real_distribution(0.0, 0.1)(random);
                std::this_thread::sleep_for(std::chrono::duration<double>(done.killedAfter));
                process.kill();
                break;
            }
            case Kind::mixingDown:
            case Kind::merging: {
                leftover(root, kind);
                auto process = child("pending", root);
                done.killedAfter = std::uniform_real_distribution(0.05, 0.95)(random) * finishing[kind];
                std::this_thread::sleep_for(std::chrono::duration<double>(done.killedAfter));
                process.kill();
                break;
            }
            }
            rounds.push_back(done);
        }

        ASSERT_EQ(int(rounds.size()), count);
        for (auto& round : rounds) {
            SCOPED_TRACE(std::string(name(round.kind)) + " after " + std::to_string(round.killedAfter) + " s");
            auto recorder = makeLinuxRecorder({ round.root, nullptr, nullptr, std::nullopt, {}, {} });
            auto pending = recorder->pendingAndWait();
            ASSERT_TRUE(pending) << pending.error().description();
            ASSERT_TRUE(pending.value()) << "every killed recording held audible sound";
            auto file = *pending.value();
            EXPECT_EQ(file.filename(), RecordingFiles::meetingName);
            auto audio = DecodedAudio::decode(file);
            if (!audio) {
                // What the decoder objects to, for the test's output.
                (void)std::system(
                    ("ffmpeg -nostdin -v error -xerror -i '" + file.string() + "' -f null - 2>&1").c_str());
                FAIL() << "a finished recording decodes without error";
            }
            auto& first = audio->samples[0];
            switch (round.kind) {
            case Kind::capturingSystemAudio:
            case Kind::stopping:
                ASSERT_EQ(audio->channels, 2);
                EXPECT_GT(audio->duration(), 0.9);
                // The last moments: a source may take a while to deliver its first block after a start.
                EXPECT_GT(toneAmplitude(first, systemTone, 16000, first.size() - 6400), 0.3);
                EXPECT_GT(toneAmplitude(audio->samples[1], microphoneTone, 16000, first.size() - 6400), 0.3);
                break;
            case Kind::capturingMicrophone:
                EXPECT_GT(audio->duration(), 0.9);
                EXPECT_GT(toneAmplitude(first, microphoneTone, 16000, first.size() - 6400), 0.3);
                break;
            case Kind::mixingDown:
            case Kind::merging:
                // Exactly what was left over: never a file cut short.
                EXPECT_NEAR(audio->duration(), leftoverSeconds, 0.1);
                EXPECT_GT(toneAmplitude(first, round.kind == Kind::merging ? microphoneTone : systemTone, 16000), 0.3);
                break;
            }
            ASSERT_TRUE(recorder->discard(file.string()));
            auto more = recorder->pendingAndWait();
            ASSERT_TRUE(more) << more.error().description();
            EXPECT_FALSE(more.value()) << "one recording per killed session";
        }
    }

    TEST_F(CrashSafetyTests, SystemAudioKilledWhileCapturingStoppingOrMixingIsAllFoundAgainWhole)
    {
        killAndRecover({ Kind::capturingSystemAudio, Kind::stopping, Kind::mixingDown }, 21);
    }

    TEST_F(CrashSafetyTests, MicrophoneSegmentsKilledWhileRecordingOrMergingAreAllFoundAgainWhole)
    {
        killAndRecover({ Kind::capturingMicrophone, Kind::merging }, 10);
    }

} // namespace
} // namespace norla::test
