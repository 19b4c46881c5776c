// norla-rec merge and pending, run in process on the live FFmpeg implementations.
#include "RecCommandLine.h"
#include "recording/FfmpegAacFile.h"
#include "recording/MeetingRecorder.h"

#include "TemporaryDirectory.h"
#include "TrackFiles.h"

#include <gtest/gtest.h>

#include <sstream>

namespace norla {
namespace {

    namespace fs = std::filesystem;

    struct Run {
        int status;
        std::string out;
        std::string err;
    };

    Run run(std::vector<std::string> arguments)
    {
        RecCommandLine::installLiveSeams();
        std::ostringstream out;
        std::ostringstream err;
        int status = RecCommandLine::run(arguments, out, err);
        return { status, out.str(), err.str() };
    }

    void writeSegment(const fs::path& file, const std::vector<float>& samples)
    {
        AudioFormat format { AudioCommonFormat::pcmFloat32, 16000.0, 1, false };
        auto opened = FfmpegAacFile::open(file, MeetingRecorder::segmentSettings, format);
        ASSERT_TRUE(opened) << opened.error().description();
        auto buffer = AudioPcmBuffer::make(format, static_cast<std::uint32_t>(samples.size()));
        std::copy(samples.begin(), samples.end(), buffer->floatChannelData(0).begin());
        buffer->setFrameLength(static_cast<std::uint32_t>(samples.size()));
        ASSERT_TRUE(opened.value()->write(*buffer));
        ASSERT_TRUE(opened.value()->close());
    }

    TEST(NorlaRecMerge, PrintsTheMergedFileOrTheReasonItCannot)
    {
        test::TemporaryDirectory temporary;
        auto dir = temporary.path() / "session";
        fs::create_directories(dir);
        writeSegment(dir / "segment-001.m4a", test::tone(440, 0.5f, 8000));
        writeSegment(dir / "segment-002.m4a", test::tone(660, 0.5f, 8000));
        auto merged = run({ "merge", dir.string() });
        EXPECT_EQ(merged.status, 0) << merged.err;
        EXPECT_EQ(merged.out, (dir / "meeting.m4a").string() + "\n");
        EXPECT_TRUE(fs::exists(dir / "meeting.m4a"));
        EXPECT_FALSE(fs::exists(dir / "segment-001.m4a"));

        auto empty = temporary.path() / "empty";
        fs::create_directories(empty);
        test::writeBytes(empty / "segment-001.m4a", "not audio");
        auto failed = run({ "merge", empty.string() });
        EXPECT_EQ(failed.status, 1);
        EXPECT_EQ(failed.out, "");
        EXPECT_EQ(failed.err, "録音をまとめられませんでした: 録音が空です\n");
        EXPECT_TRUE(fs::exists(empty / "segment-001.m4a"));

        EXPECT_EQ(run({ "merge" }).status, 2);
        EXPECT_EQ(run({ "merge", (temporary.path() / "missing").string() }).status, 1);
    }

    TEST(NorlaRecPending, FinishesOneLeftOverRecordingAndDeletesOnlySilence)
    {
        test::TemporaryDirectory temporary;
        auto root = temporary.path() / "recordings";
        EXPECT_EQ(run({ "pending", "--root", root.string() }).out, "") << "no recordings directory";

        fs::create_directories(root / "a-silent");
        test::writeSamples(root / "a-silent" / "mic.f32", std::vector<float>(16000, 0.0f));
        fs::create_directories(root / "b-audible");
        test::writeSamples(root / "b-audible" / "mic.f32", test::tone(440, 0.5f, 16000));
        test::writeSamples(root / "b-audible" / "system.f32", test::tone(880, 0.5f, 8000));

        auto found = run({ "pending", "--root", root.string() });
        EXPECT_EQ(found.status, 0) << found.err;
        auto meeting = (root / "b-audible" / "meeting.m4a").string();
        EXPECT_EQ(found.out, meeting + "\n");
        EXPECT_FALSE(fs::exists(root / "a-silent"));
        EXPECT_TRUE(fs::exists(meeting));
        EXPECT_FALSE(fs::exists(root / "b-audible" / "mic.f32"));

        EXPECT_EQ(run({ "pending", "--root", root.string() }).out, meeting + "\n") << "offered until discarded";
        EXPECT_EQ(run({ "pending", "--root" }).status, 2);
    }

} // namespace
} // namespace norla
