#include "DecodedAudio.h"
#include "LinuxRecorder.h"
#include "MeetingTones.h"
#include "PulseTestServer.h"
#include "TemporaryDirectory.h"
#include "TestEnvironment.h"
#include "TonePlayer.h"
#include "TrackFiles.h"

#include "recording/RecordingFiles.h"

#include <csignal>
#include <cstdlib>
#include <map>
#include <random>
#include <sys/wait.h>

namespace norla::test {
namespace {

    // Left-over recordings long enough that finishing them takes a while to be killed in.
    constexpr std::size_t leftoverSeconds = 120;

    enum class Kind { capturingSystemAudio, capturingMicrophone, stopping, mixingDown, merging };
    constexpr const char* kindNames[] { "killed while capturing system audio",
        "killed while recording microphone segments", "killed while stopping", "killed during a mixdown",
        "killed during a merge" };

    // Runs the recording program (tests/pulse/child) to its end, killed or not: its wait status.
    int runChild(const std::string& mode, const std::filesystem::path& root, std::optional<double> killAfter)
    {
        auto command = "exec '" NORLA_RECORDING_CHILD "' " + mode + " '" + root.string() + "'";
        return std::system((killAfter ? command + " " + std::to_string(*killAfter) : command).c_str());
    }

    class CrashSafetyTest : public PulseServerTest {
    protected:
        // A left-over session in a recordings directory of its own: raw tracks as a capture killed after
        // leftoverSeconds leaves them, or segments as a microphone session does.
        void leaveOver(const std::filesystem::path& root, Kind kind)
        {
            auto dir = root / "0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0";
            std::filesystem::create_directories(dir);
            if (kind == Kind::mixingDown) {
                writeSamples(dir / RecordingFiles::systemTrackName, tone(systemTone, 0.5f, leftoverSeconds * 16000));
                writeSamples(dir / RecordingFiles::micTrackName, tone(microphoneTone, 0.5f, leftoverSeconds * 16000));
                return;
            }
            auto samples = tone(microphoneTone, 0.5f, leftoverSeconds / 3 * 16000);
            for (int number = 1; number <= 3; ++number)
                EXPECT_TRUE(writeSegment(dir / RecordingFiles::segmentFileName(number), samples));
        }

        // How long a child takes to finish a left-over of this kind when nobody kills it.
        double timeToFinish(Kind kind)
        {
            auto root = m_directory.path() / ("calibration-" + std::to_string(int(kind)));
            leaveOver(root, kind);
            auto began = std::chrono::steady_clock::now();
            EXPECT_EQ(runChild("pending", root, std::nullopt), 0);
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

        std::vector<std::pair<std::filesystem::path, std::string>> rounds; // root, what happened
        for (int round = 0; round < count; ++round) {
            auto kind = kinds[std::size_t(round) % kinds.size()];
            auto root = m_directory.path() / ("round-" + std::to_string(round));
            std::filesystem::create_directories(root);
            // Long enough for audible sound to be in the files, across rotations for the microphone; in the
            // middle of finishing a left-over.
            double killedAfter = std::uniform_real_distribution(1.5, 4.0)(random);
            const char* mode = kind == Kind::capturingMicrophone ? "microphone" : "system";
            if (kind == Kind::stopping) {
                killedAfter = std::uniform_real_distribution(0.0, 0.1)(random);
                mode = "stop";
            } else if (kind == Kind::mixingDown || kind == Kind::merging) {
                leaveOver(root, kind);
                killedAfter = std::uniform_real_distribution(0.05, 0.95)(random) * finishing[kind];
                mode = "pending";
            }
            auto status = runChild(mode, root, killedAfter);
            // Recording goes on until the kill; stopping or finishing may end before it.
            EXPECT_TRUE((WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
                || (kind != Kind::capturingSystemAudio && kind != Kind::capturingMicrophone && WIFEXITED(status)
                    && WEXITSTATUS(status) == 0))
                << kindNames[int(kind)] << ": status " << status;
            rounds.emplace_back(
                root, std::string(kindNames[int(kind)]) + " after " + std::to_string(killedAfter) + " s");
        }

        for (int round = 0; round < count; ++round) {
            auto kind = kinds[std::size_t(round) % kinds.size()];
            SCOPED_TRACE(rounds[round].second);
            auto recorder = makeLinuxRecorder(rounds[round].first);
            auto pending = recorder->pendingAndWait();
            ASSERT_TRUE(pending) << pending.error().description();
            ASSERT_TRUE(pending.value()) << "every killed recording held audible sound";
            auto file = *pending.value();
            EXPECT_EQ(file.filename(), RecordingFiles::meetingName);
            auto audio = DecodedAudio::decode(file);
            ASSERT_TRUE(audio) << "a finished recording decodes without error";
            auto& first = audio->samples[0];
            auto tail = first.size() - 6400;
            if (kind == Kind::mixingDown || kind == Kind::merging) {
                // Exactly what was left over: never a file cut short.
                EXPECT_NEAR(audio->duration(), double(leftoverSeconds), 0.1);
                EXPECT_GT(toneAmplitude(first, kind == Kind::merging ? microphoneTone : systemTone, 16000), 0.3);
            } else {
                EXPECT_GT(audio->duration(), 0.9);
                // The last moments: a source may take a while to deliver its first block after a start.
                if (kind == Kind::capturingMicrophone) {
                    EXPECT_GT(toneAmplitude(first, microphoneTone, 16000, tail), 0.3);
                } else {
                    ASSERT_EQ(audio->channels, 2);
                    EXPECT_GT(toneAmplitude(first, systemTone, 16000, tail), 0.3);
                    EXPECT_GT(toneAmplitude(audio->samples[1], microphoneTone, 16000, tail), 0.3);
                }
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
