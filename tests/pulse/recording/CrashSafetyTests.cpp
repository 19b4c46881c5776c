#include "DecodedAudio.h"
#include "LinuxRecorder.h"
#include "MeetingTones.h"
#include "PulseTestServer.h"
#include "ShellQuoted.h"
#include "TemporaryDirectory.h"
#include "TestEnvironment.h"
#include "TonePlayer.h"
#include "TrackFiles.h"

#include "recording/RecordingFiles.h"

#include <csignal>
#include <cstdlib>
#include <map>
#include <random>
#include <string_view>
#include <sys/wait.h>

namespace norla::test {
namespace {

    // Left-over recordings long enough that finishing them takes a while to be killed in.
    constexpr std::size_t leftoverSeconds = 120;

    // What the recording program (tests/pulse/child) is doing when it dies, after how many seconds (for a
    // left-over to finish, what fraction of the time that takes), and the tones at the end of each channel
    // of the file then found.
    struct Kind {
        const char* name;
        const char* mode;
        double killedFrom;
        double killedTo;
        std::vector<double> tones;

        bool finishesLeftover() const { return std::string_view(mode) == "pending"; }
    };
    // Long enough for audible sound to be in the files, across rotations for the microphone.
    const Kind kinds[]
        = { { "killed while capturing system audio", "system", 1.5, 4.0, { systemTone, microphoneTone } },
              { "killed while recording microphone segments", "microphone", 1.5, 4.0, { microphoneTone } },
              { "killed while stopping", "stop", 0.0, 0.1, { systemTone, microphoneTone } },
              { "killed during a mixdown", "pending", 0.05, 0.95, { systemTone, microphoneTone } },
              { "killed during a merge", "pending", 0.05, 0.95, { microphoneTone } } };

    // Runs the recording program (tests/pulse/child) to its end, killed or not: its wait status.
    int runChild(const std::string& mode, const std::filesystem::path& root, std::optional<double> killAfter)
    {
        auto command = "exec " + shellQuoted(NORLA_RECORDING_CHILD) + " " + mode + " " + shellQuoted(root);
        return std::system((killAfter ? command + " " + std::to_string(*killAfter) : command).c_str());
    }

    class CrashSafetyTest : public PulseServerTest {
    protected:
        // A left-over session in a recordings directory of its own: raw tracks as a capture killed after
        // leftoverSeconds leaves them, or segments as a microphone session does.
        void leaveOver(const std::filesystem::path& root, const Kind& kind)
        {
            auto dir = root / "0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0";
            std::filesystem::create_directories(dir);
            if (kind.tones.size() == 2) {
                writeSamples(dir / RecordingFiles::systemTrackName, tone(systemTone, 0.5f, leftoverSeconds * 16000));
                writeSamples(dir / RecordingFiles::micTrackName, tone(microphoneTone, 0.5f, leftoverSeconds * 16000));
                return;
            }
            auto samples = tone(microphoneTone, 0.5f, leftoverSeconds / 3 * 16000);
            for (int number = 1; number <= 3; ++number)
                EXPECT_TRUE(writeSegment(dir / RecordingFiles::segmentFileName(number), samples));
        }

        // How long a child takes to finish a left-over of this kind when nobody kills it.
        double timeToFinish(const Kind& kind)
        {
            auto root = m_directory.path() / (std::string("calibration ") + kind.name);
            leaveOver(root, kind);
            auto began = std::chrono::steady_clock::now();
            EXPECT_EQ(runChild("pending", root, std::nullopt), 0);
            return std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        }

        TestEnvironment m_environment;
        TemporaryDirectory m_directory;
    };

    // Kills a recording child many times at random moments, taking the kinds in turn, then checks that a
    // process that never recorded finds every recording again, each one whole.
    TEST_F(CrashSafetyTest, EveryKindOfDeathLeavesARecordingThatIsFoundAgainWhole)
    {
        constexpr int count = 30;
        TonePlayer system(std::string(PulseTestServer::systemSink), systemTone);
        TonePlayer microphone(std::string(PulseTestServer::microphoneSink), microphoneTone);
        auto seed = std::random_device {}();
        std::mt19937 random(seed);
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::map<const Kind*, double> scale; // seconds per unit of a kind's kill range
        for (const auto& kind : kinds)
            scale[&kind] = kind.finishesLeftover() ? timeToFinish(kind) : 1.0;

        std::vector<std::string> happened;
        for (int round = 0; round < count; ++round) {
            const auto& kind = kinds[std::size_t(round) % std::size(kinds)];
            auto root = m_directory.path() / ("round-" + std::to_string(round));
            std::filesystem::create_directories(root);
            if (kind.finishesLeftover())
                leaveOver(root, kind);
            auto killedAfter = std::uniform_real_distribution(kind.killedFrom, kind.killedTo)(random) * scale[&kind];
            auto status = runChild(kind.mode, root, killedAfter);
            // Recording goes on until the kill; stopping or finishing may end before it.
            EXPECT_TRUE((WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
                || (kind.mode != std::string_view("system") && kind.mode != std::string_view("microphone")
                    && WIFEXITED(status) && WEXITSTATUS(status) == 0))
                << kind.name << ": status " << status;
            happened.push_back(std::string(kind.name) + " after " + std::to_string(killedAfter) + " s");
        }

        for (int round = 0; round < count; ++round) {
            const auto& kind = kinds[std::size_t(round) % std::size(kinds)];
            SCOPED_TRACE(happened[std::size_t(round)]);
            auto recorder = makeLinuxRecorder(m_directory.path() / ("round-" + std::to_string(round)));
            auto pending = recorder->pendingAndWait();
            ASSERT_TRUE(pending) << pending.error().description();
            ASSERT_TRUE(pending.value()) << "every killed recording held audible sound";
            auto file = *pending.value();
            auto audio = DecodedAudio::decode(file);
            ASSERT_TRUE(audio) << "a finished recording decodes without error";
            // A left-over is found exactly as it was, never cut short; a recording holds more than a second.
            if (kind.finishesLeftover())
                EXPECT_NEAR(audio->duration(), double(leftoverSeconds), 0.1);
            else
                EXPECT_GT(audio->duration(), 0.9);
            // The last moments: a source may take a while to deliver its first block after a start.
            ASSERT_EQ(std::size_t(audio->channels), kind.tones.size());
            for (std::size_t channel = 0; channel < kind.tones.size(); ++channel) {
                auto& samples = audio->samples[channel];
                EXPECT_GT(toneAmplitude(samples, kind.tones[channel], 16000, samples.size() - 6400), 0.3) << channel;
            }
            ASSERT_TRUE(recorder->discard(file.string()));
            auto more = recorder->pendingAndWait();
            ASSERT_TRUE(more) << more.error().description();
            EXPECT_FALSE(more.value()) << "one recording per killed session";
        }
    }

} // namespace
} // namespace norla::test
