#include "RecorderTestBench.h"

#include "FaultyFileHandles.h"

#include "recording/CaptureError.h"
#include "recording/RecorderError.h"

#include <gtest/gtest.h>

namespace norla {
namespace {

    namespace fs = std::filesystem;
    using test::makeSession;
    using test::pendingNow;
    using test::readBytes;
    using test::RecorderTestBench;
    using test::startNow;
    using test::stopNow;

    constexpr auto emptyRecording = "録音をまとめられませんでした: 録音が空です";

    TEST(MeetingRecorderFinalisationTest, StopMergesTheSegmentsBackToBackAndEndsTheSession)
    {
        RecorderTestBench bench;
        bench.audioRecorders->setSegmentContent("300");
        auto& recorder = bench.make();
        ASSERT_TRUE(startNow(recorder));
        bench.fakeQueue().advanceBy(seconds(400));
        ASSERT_TRUE(recorder.pause());
        bench.fakeQueue().advanceBy(seconds(1000)); // pauses leave no silence in the output
        ASSERT_TRUE(recorder.resume());

        auto stopped = stopNow(recorder);
        ASSERT_TRUE(stopped) << stopped.error().description();
        auto meeting = bench.session(1) / "meeting.m4a";
        EXPECT_EQ(stopped.value(), meeting.string());
        EXPECT_EQ(readBytes(meeting),
            "segment-001.m4a at=0 duration=300\nsegment-002.m4a at=300 duration=300\n"
            "segment-003.m4a at=600 duration=300\n");
        EXPECT_TRUE(MeetingRecorder::listSegments(bench.session(1)).empty()) << "the segments are removed";
        EXPECT_EQ(bench.audioRecorders->activeCount(), 0);
        EXPECT_EQ(bench.audioSession->calls().back(), "active 0 1");
        EXPECT_FALSE(bench.claims->isHeldHere(bench.session(1))) << "given up once meeting.m4a is written";
        auto state = recorder.state();
        EXPECT_FALSE(state.sessionDir || state.hasRotationTimer || state.paused);
        EXPECT_TRUE(stopNow(recorder).error().is(RecorderError::notRecording)) << "a second stop";
    }

    TEST(MeetingRecorderFinalisationTest, SegmentsThatCannotBeReadAreLeftOutAndAnEmptyMergeStaysForPending)
    {
        RecorderTestBench bench;
        auto& recorder = bench.make();
        auto dir = bench.recordings() / "left-over";
        makeSession(dir,
            { { "segment-001.m4a", "2" }, { "segment-002.m4a", "notaudio" }, { "segment-003.m4a", "3.5" },
                { "segment-004.m4a", "notracks" }, { "segment-005.m4a", "noduration" }, { "segment-006.m4a", "0" },
                { "segment-007.M4A", "9" }, { "notes.m4a", "9" } });

        ASSERT_TRUE(recorder.mergeSegments(dir));
        EXPECT_EQ(
            readBytes(dir / "meeting.m4a"), "segment-001.m4a at=0 duration=2\nsegment-003.m4a at=2 duration=3.5\n");
        EXPECT_TRUE(fs::exists(dir / "segment-007.M4A")) << "not a segment: the extension differs";
        EXPECT_TRUE(fs::exists(dir / "notes.m4a"));
        EXPECT_FALSE(fs::exists(dir / "segment-002.m4a"));
        test::writeBytes(dir / "segment-008.m4a", "5");
        EXPECT_EQ(recorder.mergeSegments(dir).value(), dir / "meeting.m4a") << "an existing meeting.m4a as is";
        EXPECT_TRUE(fs::exists(dir / "segment-008.m4a"));
        ASSERT_TRUE(recorder.discard((dir / "meeting.m4a").string()));

        bench.audioRecorders->setSegmentContent("0");
        ASSERT_TRUE(startNow(recorder));
        EXPECT_EQ(stopNow(recorder).error().description(), emptyRecording);
        EXPECT_FALSE(recorder.isRecording());
        for (int attempt = 0; attempt < 2; ++attempt)
            EXPECT_EQ(pendingNow(recorder).error().description(), emptyRecording);
        EXPECT_TRUE(fs::exists(bench.session(1) / "segment-001.m4a"));
    }

    TEST(MeetingRecorderFinalisationTest, AFailedMergeKeepsTheSegmentsForTheNextPending)
    {
        using Failure = test::FakeMediaComposer::Failure;
        const std::vector<std::pair<Failure, std::string>> cases {
            { Failure::track, "録音をまとめられませんでした: トラックを作れません" },
            { Failure::insert, "The operation could not be completed." },
            { Failure::exportSession, "録音をまとめられませんでした: 書き出しを準備できません" },
            { Failure::exporting, "The export failed." },
        };
        for (const auto& [failure, description] : cases) {
            SCOPED_TRACE(description);
            RecorderTestBench bench;
            auto& recorder = bench.make();
            ASSERT_TRUE(startNow(recorder));
            bench.composer->fail(failure);
            EXPECT_EQ(stopNow(recorder).error().description(), description);
            EXPECT_FALSE(recorder.isRecording());
            EXPECT_TRUE(fs::exists(bench.session(1) / "segment-001.m4a"));
            EXPECT_FALSE(fs::exists(bench.session(1) / "meeting.m4a"));

            bench.composer->fail(Failure::none);
            EXPECT_EQ(pendingNow(recorder).value(), (bench.session(1) / "meeting.m4a").string());
        }
    }

    TEST(MeetingRecorderFinalisationTest, SegmentsGoOnlyOnceTheMeetingFileAndItsNameAreOnTheDisk)
    {
        RecorderTestBench bench;
        auto handles = std::make_shared<test::FaultyFileHandles>(bench.fileHandles);
        bench.fileHandles = handles;
        auto& recorder = bench.make();
        auto dir = bench.recordings() / "left-over";
        makeSession(dir, { { "segment-001.m4a", "2" } });
        std::vector<std::string> steps;
        std::optional<Error> failure = Error::platform("Input/output error", 5);
        handles->onSynchronize([&](const fs::path& path) -> Result<void> {
            steps.push_back(path.filename().string() + (fs::exists(dir / "segment-001.m4a") ? " with segments" : ""));
            return failure ? Result<void>(*failure) : Result<void>();
        });

        ASSERT_TRUE(recorder.mergeSegments(dir));
        EXPECT_TRUE(fs::exists(dir / "segment-001.m4a")) << "kept while the output may not be durable";

        fs::remove(dir / "meeting.m4a");
        steps.clear();
        failure.reset();
        ASSERT_TRUE(recorder.mergeSegments(dir));
        EXPECT_EQ(steps, (std::vector<std::string> { "meeting.m4a with segments", "left-over with segments" }));
        EXPECT_FALSE(fs::exists(dir / "segment-001.m4a"));
    }

    TEST(MeetingRecorderFinalisationTest, ASystemAudioStopMixesTheTracksAndASilentOneIsDeletedByPending)
    {
        RecorderTestBench bench(RecorderTestBench::Form::systemAudio);
        auto& recorder = bench.make();
        ASSERT_TRUE(startNow(recorder));
        auto stream = bench.screenCapture->lastStream();
        test::deliverTone(*stream, StreamOutputType::audio, 10.0);
        test::deliverTone(*stream, StreamOutputType::microphone, 10.01);
        EXPECT_TRUE(bench.claims->isHeldHere(bench.session(1)));
        EXPECT_EQ(stopNow(recorder).value(), (bench.session(1) / "meeting.m4a").string());
        EXPECT_FALSE(bench.claims->isHeldHere(bench.session(1)));
        EXPECT_EQ(stream->stopCount(), 1);
        EXPECT_FALSE(fs::exists(bench.session(1) / "system.f32"));
        auto state = recorder.state();
        EXPECT_FALSE(state.sessionDir || state.finalizing || state.hasCapture);

        ASSERT_TRUE(startNow(recorder));
        test::deliverTone(*bench.screenCapture->lastStream(), StreamOutputType::microphone, 3.0, 0.0f);
        EXPECT_TRUE(stopNow(recorder).error().is(CaptureError::empty));
        EXPECT_FALSE(recorder.isRecording());
        EXPECT_TRUE(fs::exists(bench.session(2) / "mic.f32")) << "raw tracks stay after a failed stop";
        ASSERT_TRUE(recorder.discard((bench.session(1) / "meeting.m4a").string()));
        EXPECT_EQ(pendingNow(recorder).value(), std::nullopt);
        EXPECT_FALSE(fs::exists(bench.session(2)));
    }

    TEST(MeetingRecorderFinalisationTest, PendingWalksTheRecordingsInNameOrderAndHidesNothingBehindABrokenOne)
    {
        RecorderTestBench bench; // raw tracks are mixed also where the platform has no system audio
        auto& recorder = bench.make();
        EXPECT_EQ(pendingNow(recorder).value(), std::nullopt) << "no recordings directory yet";

        auto root = bench.recordings();
        makeSession(root / "a-empty", {});
        makeSession(root / "b-broken", { { "segment-001.m4a", "notaudio" } });
        makeSession(root / "c-silent", {});
        test::writeSamples(root / "c-silent" / "mic.f32", std::vector<float>(1600, 0.0f));
        makeSession(root / "d-unmixable", {});
        test::writeSamples(root / "d-unmixable" / "system.f32", test::tone(440, 0.5f, 1600));
        makeSession(root / "e-raw", {});
        test::writeSamples(root / "e-raw" / "mic.f32", test::tone(440, 0.5f, 1600));
        makeSession(root / "f-segments", { { "segment-001.m4a", "4" } });
        makeSession(root / "g-finished", { { "meeting.m4a", "done" } });
        test::writeBytes(root / "0-stray.txt", "stray");
        bench.writer->failOpening(Error::platform("encoder unavailable"));

        EXPECT_EQ(pendingNow(recorder).value(), (root / "f-segments" / "meeting.m4a").string());
        EXPECT_FALSE(fs::exists(root / "0-stray.txt"));
        EXPECT_FALSE(fs::exists(root / "a-empty"));
        EXPECT_TRUE(fs::exists(root / "b-broken" / "segment-001.m4a"));
        EXPECT_TRUE(bench.environment.log().contains("MeetingRecorder: b-broken: " + std::string(emptyRecording)));
        EXPECT_TRUE(fs::exists(root / "c-silent")) << "not mixed while the writer fails";
        EXPECT_TRUE(fs::exists(root / "d-unmixable" / "system.f32")) << "audible raw tracks stay";
        EXPECT_TRUE(bench.environment.log().contains(
            "MeetingRecorder: 録音をまとめ直せません（raw は残す）: encoder unavailable"));

        bench.writer = std::make_shared<test::FakeAudioFileWriter>();
        auto& again = bench.make();
        std::vector<std::string> found;
        for (auto answer = pendingNow(again); answer && answer.value(); answer = pendingNow(again)) {
            found.push_back(fs::path(*answer.value()).parent_path().filename().string());
            ASSERT_TRUE(again.discard(*answer.value()));
        }
        EXPECT_EQ(found, (std::vector<std::string> { "d-unmixable", "e-raw", "f-segments", "g-finished" }));
        EXPECT_FALSE(fs::exists(root / "c-silent")) << "nothing audible: removed";
        EXPECT_EQ(pendingNow(again).error().description(), emptyRecording) << "alone, the broken one says why";
    }

    class DiscardTest : public ::testing::Test {
    protected:
        void SetUp() override
        {
            m_bench.make();
            makeSession(finished(), { { "meeting.m4a", "m" } });
            makeSession(outside(), { { "meeting.m4a", "keep" } });
        }
        fs::path finished() const { return m_bench.recordings() / "finished"; }
        fs::path outside() const { return m_bench.temporary.path() / "outside"; }
        MeetingRecorder& recorder() { return *m_bench.recorder; }
        RecorderTestBench m_bench;
    };

    TEST_F(DiscardTest, RemovesTheSessionDirectoryOfAMeetingFileAlsoThroughALink)
    {
        ASSERT_TRUE(recorder().discard((finished() / "meeting.m4a").string()));
        EXPECT_FALSE(fs::exists(finished()));
        EXPECT_TRUE(fs::exists(m_bench.recordings()));

        makeSession(finished(), { { "segment-001.m4a", "1" } });
        fs::create_directory_symlink(finished(), m_bench.temporary.path() / "shortcut");
        ASSERT_TRUE(recorder().discard((m_bench.temporary.path() / "shortcut" / "meeting.m4a").string()))
            << "meeting.m4a need not exist";
        EXPECT_FALSE(fs::exists(finished()));
    }

    TEST_F(DiscardTest, IgnoresPathsThatDoNotNameAMeetingFileOfAnInactiveSession)
    {
        auto root = m_bench.recordings();
        makeSession(finished() / "deeper", { { "meeting.m4a", "m" } });
        fs::create_symlink(outside(), root / "linked-out");
        fs::create_symlink(outside() / "meeting.m4a", finished() / "link.m4a");
        ASSERT_TRUE(startNow(recorder()));
        auto active = *recorder().state().sessionDir;
        m_bench.fakeQueue().advanceBy(seconds(300));
        EXPECT_EQ(pendingNow(recorder()).value(), (finished() / "meeting.m4a").string()) << "not the active one";

        const std::vector<fs::path> hostile {
            root / "finished" / ".." / ".." / "outside" / "meeting.m4a",
            root / ".." / "outside" / "meeting.m4a",
            finished() / "segment-001.m4a",
            finished() / "link.m4a",
            finished() / "deeper" / "meeting.m4a",
            root / "meeting.m4a",
            root / "linked-out" / "meeting.m4a",
            root,
            "meeting.m4a",
            "",
            root / "finished" / ".." / active.filename() / "meeting.m4a",
        };
        for (const auto& path : hostile)
            EXPECT_TRUE(recorder().discard(path.string())) << path;
        EXPECT_TRUE(fs::exists(finished() / "deeper" / "meeting.m4a"));
        EXPECT_TRUE(fs::exists(finished() / "meeting.m4a"));
        EXPECT_TRUE(fs::exists(outside() / "meeting.m4a"));
        EXPECT_TRUE(fs::is_symlink(root / "linked-out"));
        EXPECT_EQ(MeetingRecorder::listSegments(active).size(), 2u);
        EXPECT_EQ(m_bench.composer->exportCount(), 0);
    }

} // namespace
} // namespace norla
