#include "ChildProcess.h"
#include "DecodedAudio.h"
#include "LinuxRecorder.h"
#include "MeetingTones.h"
#include "PulseTestServer.h"
#include "TemporaryDirectory.h"
#include "TestEnvironment.h"
#include "TonePlayer.h"

#include "TrackFiles.h"

#include "recording/LinuxRecordingSeams.h"
#include "recording/RecordingFiles.h"

#include <map>
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
        constexpr const char* names[] { "killed while capturing system audio",
            "killed while recording microphone segments", "killed while stopping", "killed during a mixdown",
            "killed during a merge" };
        return names[static_cast<int>(kind)];
    }

    // Raw tracks as a capture killed after `seconds` leaves them, or segments as a microphone session does.
    void writeLeftover(const std::filesystem::path& dir, Kind kind, int seconds)
    {
        if (kind == Kind::mixingDown) {
            writeSamples(dir / RecordingFiles::systemTrackName, tone(systemTone, 0.5f, std::size_t(seconds) * 16000));
            writeSamples(dir / RecordingFiles::micTrackName, tone(microphoneTone, 0.5f, std::size_t(seconds) * 16000));
            return;
        }
        auto samples = tone(microphoneTone, 0.5f, std::size_t(seconds / 3) * 16000);
        for (int number = 1; number <= 3; ++number)
            EXPECT_TRUE(writeSegment(dir / RecordingFiles::segmentFileName(number), samples));
    }

    struct Round {
        Kind kind;
        std::filesystem::path root;
        double killedAfter = 0;
    };

    class CrashSafetyTest : public PulseServerTest {
    protected:
        void SetUp() override
        {
            PulseServerTest::SetUp();
            installLinuxRecordingSeams();
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
            writeLeftover(dir, kind, leftoverSeconds);
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
    void CrashSafetyTest::killAndRecover(const std::vector<Kind>& kinds, int count)
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

    TEST_F(CrashSafetyTest, SystemAudioKilledWhileCapturingStoppingOrMixingIsAllFoundAgainWhole)
    {
        killAndRecover({ Kind::capturingSystemAudio, Kind::stopping, Kind::mixingDown }, 21);
    }

    TEST_F(CrashSafetyTest, MicrophoneSegmentsKilledWhileRecordingOrMergingAreAllFoundAgainWhole)
    {
        killAndRecover({ Kind::capturingMicrophone, Kind::merging }, 10);
    }

} // namespace
} // namespace norla::test
