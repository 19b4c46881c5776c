#include "RecorderTestBench.h"

#include "FaultyFileHandles.h"

#include "recording/CaptureError.h"
#include "recording/RecorderError.h"

#include <gtest/gtest.h>

namespace norla {
namespace {

    using test::readBytes;
    using test::RecorderTestBench;
    using test::writeBytes;

    Result<void> startNow(MeetingRecorder& recorder)
    {
        std::optional<Result<void>> answer;
        recorder.start([&](Result<void> result) { answer.emplace(std::move(result)); });
        return answer.value_or(Error::platform("no answer"));
    }

    Result<std::string> stopNow(MeetingRecorder& recorder)
    {
        std::optional<Result<std::string>> answer;
        recorder.stop([&](Result<std::string> result) { answer.emplace(std::move(result)); });
        return answer.value_or(Error::platform("no answer"));
    }

    Result<std::optional<std::string>> pendingNow(MeetingRecorder& recorder)
    {
        std::optional<Result<std::optional<std::string>>> answer;
        recorder.pending([&](Result<std::optional<std::string>> result) { answer.emplace(std::move(result)); });
        return answer.value_or(Error::platform("no answer"));
    }

    void makeSession(const std::filesystem::path& dir, std::vector<std::pair<std::string, std::string>> files)
    {
        std::filesystem::create_directories(dir);
        for (auto& [name, content] : files)
            writeBytes(dir / name, content);
    }

    void deliverTone(test::FakeCaptureStream& stream, StreamOutputType type, double time, float value = 0.5f)
    {
        test::FakeSampleBuffer buffer;
        buffer.samples.assign(160, value);
        buffer.presentationTime = time;
        stream.deliver(buffer, type);
    }

    TEST(MeetingRecorderFinalisation, StopMergesTheSegmentsBackToBackAndEndsTheSession)
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
        auto state = recorder.state();
        EXPECT_FALSE(state.sessionDir);
        EXPECT_FALSE(state.hasRotationTimer);
        EXPECT_FALSE(state.paused);
        EXPECT_TRUE(stopNow(recorder).error().is(RecorderError::notRecording)) << "a second stop";
    }

    TEST(MeetingRecorderFinalisation, AnEmptyRecordingFailsTheStopAndStaysForPending)
    {
        RecorderTestBench bench;
        bench.audioRecorders->setSegmentContent("0");
        auto& recorder = bench.make();
        ASSERT_TRUE(startNow(recorder));
        auto stopped = stopNow(recorder);
        EXPECT_EQ(stopped.error().description(), "録音をまとめられませんでした: 録音が空です");
        EXPECT_FALSE(recorder.isRecording());
        for (int attempt = 0; attempt < 2; ++attempt) {
            auto found = pendingNow(recorder);
            ASSERT_FALSE(found);
            EXPECT_EQ(found.error().description(), "録音をまとめられませんでした: 録音が空です");
        }
        EXPECT_TRUE(std::filesystem::exists(bench.session(1) / "segment-001.m4a"));
    }

    TEST(MeetingRecorderFinalisation, SegmentsThatCannotBeReadAreLeftOutOfTheMerge)
    {
        RecorderTestBench bench;
        auto& recorder = bench.make();
        auto dir = bench.recordings() / "left-over";
        makeSession(dir,
            { { "segment-001.m4a", "2" }, { "segment-002.m4a", "notaudio" }, { "segment-003.m4a", "3.5" },
                { "segment-004.m4a", "notracks" }, { "segment-005.m4a", "noduration" }, { "segment-006.m4a", "0" },
                { "segment-007.M4A", "9" }, { "notes.m4a", "9" } });

        auto merged = recorder.mergeSegments(dir);
        ASSERT_TRUE(merged) << merged.error().description();
        EXPECT_EQ(
            readBytes(dir / "meeting.m4a"), "segment-001.m4a at=0 duration=2\nsegment-003.m4a at=2 duration=3.5\n");
        EXPECT_TRUE(std::filesystem::exists(dir / "segment-007.M4A")) << "not a segment: the extension differs";
        EXPECT_TRUE(std::filesystem::exists(dir / "notes.m4a"));
        EXPECT_FALSE(std::filesystem::exists(dir / "segment-002.m4a"));

        writeBytes(dir / "segment-008.m4a", "5");
        EXPECT_EQ(recorder.mergeSegments(dir).value(), dir / "meeting.m4a");
        EXPECT_TRUE(std::filesystem::exists(dir / "segment-008.m4a")) << "an existing meeting.m4a is returned as is";
        EXPECT_EQ(bench.composer->exportCount(), 1);
    }

    TEST(MeetingRecorderFinalisation, AFailedMergeKeepsTheSegmentsForTheNextPending)
    {
        struct Case {
            std::function<void(test::FakeMediaComposer&, bool)> fail;
            std::string description;
        };
        std::vector<Case> cases {
            { [](auto& composer, bool on) { composer.refuseTrack(on); },
                "録音をまとめられませんでした: トラックを作れません" },
            { [](auto& composer, bool on) { composer.failInsert(on); }, "The operation could not be completed." },
            { [](auto& composer, bool on) { composer.refuseExportSession(on); },
                "録音をまとめられませんでした: 書き出しを準備できません" },
            { [](auto& composer, bool on) { composer.failExport(on); }, "The export failed." },
        };
        for (auto& failure : cases) {
            RecorderTestBench bench;
            auto& recorder = bench.make();
            ASSERT_TRUE(startNow(recorder));
            failure.fail(*bench.composer, true);
            EXPECT_EQ(stopNow(recorder).error().description(), failure.description);
            EXPECT_FALSE(recorder.isRecording());
            EXPECT_TRUE(std::filesystem::exists(bench.session(1) / "segment-001.m4a"));
            EXPECT_FALSE(std::filesystem::exists(bench.session(1) / "meeting.m4a"));

            failure.fail(*bench.composer, false);
            auto found = pendingNow(recorder);
            ASSERT_TRUE(found) << found.error().description();
            EXPECT_EQ(found.value(), (bench.session(1) / "meeting.m4a").string());
        }
    }

    TEST(MeetingRecorderFinalisation, ASessionThatCannotBeMergedHidesNoOtherRecording)
    {
        RecorderTestBench bench;
        auto& recorder = bench.make();
        auto root = bench.recordings();
        makeSession(root / "a-broken", { { "segment-001.m4a", "notaudio" } });
        makeSession(root / "b-segments", { { "segment-001.m4a", "4" } });
        makeSession(root / "c-finished", { { "meeting.m4a", "done" } });

        for (auto name : { "b-segments", "c-finished" }) {
            auto found = pendingNow(recorder);
            ASSERT_TRUE(found) << found.error().description();
            EXPECT_EQ(found.value(), (root / name / "meeting.m4a").string());
            ASSERT_TRUE(recorder.discard(found.value().value()));
        }
        // Alone, the broken session reports why it cannot be merged, and stays for a look with norla-rec list.
        EXPECT_EQ(pendingNow(recorder).error().description(), "録音をまとめられませんでした: 録音が空です");
        EXPECT_TRUE(std::filesystem::exists(root / "a-broken" / "segment-001.m4a"));
        EXPECT_TRUE(
            bench.environment.log().contains("MeetingRecorder: a-broken: 録音をまとめられませんでした: 録音が空です"));
    }

    TEST(MeetingRecorderFinalisation, SegmentsGoOnlyOnceTheMeetingFileAndItsNameAreOnTheDisk)
    {
        RecorderTestBench bench;
        auto handles = std::make_shared<test::FaultyFileHandles>(std::make_shared<PosixFileHandles>());
        Seam<FileHandles>::install(handles);
        auto& recorder = bench.make();
        auto dir = bench.recordings() / "left-over";
        makeSession(dir, { { "segment-001.m4a", "2" } });
        std::vector<std::string> steps;
        std::optional<Error> failure;
        handles->onSynchronize([&](const std::filesystem::path& path) -> Result<void> {
            steps.push_back(
                path.filename().string() + (std::filesystem::exists(dir / "segment-001.m4a") ? " with segments" : ""));
            if (failure)
                return *failure;
            return {};
        });

        failure = Error::platform("Input/output error", 5);
        ASSERT_TRUE(recorder.mergeSegments(dir));
        EXPECT_TRUE(std::filesystem::exists(dir / "segment-001.m4a")) << "kept while the output may not be durable";

        std::filesystem::remove(dir / "meeting.m4a");
        steps.clear();
        failure.reset();
        ASSERT_TRUE(recorder.mergeSegments(dir));
        EXPECT_EQ(steps, (std::vector<std::string> { "meeting.m4a with segments", "left-over with segments" }));
        EXPECT_FALSE(std::filesystem::exists(dir / "segment-001.m4a"));
    }

    TEST(MeetingRecorderFinalisation, SystemAudioStopMixesTheTracksAndEndsTheSession)
    {
        RecorderTestBench bench(RecorderTestBench::Form::systemAudio);
        auto& recorder = bench.make();
        ASSERT_TRUE(startNow(recorder));
        auto stream = bench.screenCapture->lastStream();
        deliverTone(*stream, StreamOutputType::audio, 10.0);
        deliverTone(*stream, StreamOutputType::microphone, 10.01);

        auto stopped = stopNow(recorder);
        ASSERT_TRUE(stopped) << stopped.error().description();
        EXPECT_EQ(stopped.value(), (bench.session(1) / "meeting.m4a").string());
        EXPECT_EQ(stream->stopCount(), 1);
        EXPECT_FALSE(std::filesystem::exists(bench.session(1) / "system.f32"));
        auto state = recorder.state();
        EXPECT_FALSE(state.sessionDir);
        EXPECT_FALSE(state.finalizing);
        EXPECT_FALSE(state.hasCapture);
    }

    TEST(MeetingRecorderFinalisation, ASilentCaptureFailsItsStopAndPendingThenDeletesIt)
    {
        RecorderTestBench bench(RecorderTestBench::Form::systemAudio);
        auto& recorder = bench.make();
        ASSERT_TRUE(startNow(recorder));
        deliverTone(*bench.screenCapture->lastStream(), StreamOutputType::microphone, 3.0, 0.0f);

        EXPECT_TRUE(stopNow(recorder).error().is(CaptureError::empty));
        EXPECT_FALSE(recorder.isRecording());
        EXPECT_TRUE(std::filesystem::exists(bench.session(1) / "mic.f32")) << "raw tracks stay after a failed stop";
        EXPECT_EQ(pendingNow(recorder).value(), std::nullopt);
        EXPECT_FALSE(std::filesystem::exists(bench.session(1)));
    }

    TEST(MeetingRecorderFinalisation, PendingWalksTheRecordingsInNameOrder)
    {
        RecorderTestBench bench(RecorderTestBench::Form::systemAudio);
        auto& recorder = bench.make();
        EXPECT_EQ(pendingNow(recorder).value(), std::nullopt) << "no recordings directory yet";

        auto root = bench.recordings();
        makeSession(root / "a-empty", {});
        makeSession(root / "b-silent", {});
        test::writeSamples(root / "b-silent" / "mic.f32", std::vector<float>(1600, 0.0f));
        makeSession(root / "d-segments", { { "segment-001.m4a", "4" } });
        makeSession(root / "e-finished", { { "meeting.m4a", "done" } });
        writeBytes(root / "0-stray.txt", "stray");

        auto found = pendingNow(recorder);
        ASSERT_TRUE(found) << found.error().description();
        EXPECT_EQ(found.value(), (root / "d-segments" / "meeting.m4a").string());
        EXPECT_FALSE(std::filesystem::exists(root / "0-stray.txt"));
        EXPECT_FALSE(std::filesystem::exists(root / "a-empty"));
        EXPECT_FALSE(std::filesystem::exists(root / "b-silent")) << "nothing audible: removed";

        // A finished meeting.m4a is offered again until it is discarded.
        EXPECT_EQ(pendingNow(recorder).value(), (root / "d-segments" / "meeting.m4a").string());
        ASSERT_TRUE(recorder.discard((root / "d-segments" / "meeting.m4a").string()));
        EXPECT_EQ(pendingNow(recorder).value(), (root / "e-finished" / "meeting.m4a").string());
    }

    TEST(MeetingRecorderFinalisation, PendingKeepsRawTracksItCannotMixAndGoesOn)
    {
        RecorderTestBench bench(RecorderTestBench::Form::systemAudio);
        auto& recorder = bench.make();
        auto root = bench.recordings();
        makeSession(root / "a-unmixable", {});
        test::writeSamples(root / "a-unmixable" / "system.f32", test::tone(440, 0.5f, 1600));
        makeSession(root / "b-segments", { { "segment-001.m4a", "4" } });
        bench.writer->failOpening(Error::platform("encoder unavailable"));

        EXPECT_EQ(pendingNow(recorder).value(), (root / "b-segments" / "meeting.m4a").string());
        EXPECT_TRUE(std::filesystem::exists(root / "a-unmixable" / "system.f32")) << "audible raw tracks stay";
        EXPECT_TRUE(bench.environment.log().contains(
            "MeetingRecorder: 録音をまとめ直せません（raw は残す）: encoder unavailable"));
    }

    TEST(MeetingRecorderFinalisation, PendingMixesRawTracksAlsoOnAPlatformWithoutSystemAudio)
    {
        RecorderTestBench bench(RecorderTestBench::Form::microphoneOnly);
        auto& recorder = bench.make();
        auto dir = bench.recordings() / "captured-earlier";
        makeSession(dir, {});
        test::writeSamples(dir / "mic.f32", test::tone(440, 0.5f, 1600));
        EXPECT_EQ(pendingNow(recorder).value(), (dir / "meeting.m4a").string());
        EXPECT_FALSE(std::filesystem::exists(dir / "mic.f32"));
    }

    TEST(MeetingRecorderFinalisation, PendingSkipsTheActiveSession)
    {
        RecorderTestBench bench;
        auto& recorder = bench.make();
        ASSERT_TRUE(startNow(recorder));
        bench.fakeQueue().advanceBy(seconds(300));
        EXPECT_EQ(pendingNow(recorder).value(), std::nullopt);
        EXPECT_EQ(MeetingRecorder::listSegments(bench.session(1)).size(), 2u);
        EXPECT_EQ(bench.composer->exportCount(), 0);
    }

    class DiscardTest : public ::testing::Test {
    protected:
        void SetUp() override
        {
            m_bench.make();
            makeSession(finished(), { { "meeting.m4a", "m" } });
            makeSession(m_bench.temporary.path() / "outside", { { "meeting.m4a", "keep" } });
        }
        std::filesystem::path finished() const { return m_bench.recordings() / "finished"; }
        MeetingRecorder& recorder() { return *m_bench.recorder; }
        RecorderTestBench m_bench;
    };

    TEST_F(DiscardTest, RemovesTheSessionDirectoryOfAMeetingFile)
    {
        ASSERT_TRUE(recorder().discard((finished() / "meeting.m4a").string()));
        EXPECT_FALSE(std::filesystem::exists(finished()));
        EXPECT_TRUE(std::filesystem::exists(m_bench.recordings()));

        makeSession(finished(), { { "segment-001.m4a", "1" } });
        ASSERT_TRUE(recorder().discard((finished() / "meeting.m4a").string())) << "meeting.m4a need not exist";
        EXPECT_FALSE(std::filesystem::exists(finished()));
    }

    TEST_F(DiscardTest, IgnoresPathsThatDoNotNameAMeetingFileDirectlyInASessionDirectory)
    {
        auto root = m_bench.recordings();
        makeSession(finished() / "deeper", { { "meeting.m4a", "m" } });
        std::filesystem::create_symlink(m_bench.temporary.path() / "outside", root / "linked-out");
        std::filesystem::create_symlink(m_bench.temporary.path() / "outside" / "meeting.m4a", finished() / "link.m4a");
        std::vector<std::filesystem::path> hostile {
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
        };
        for (auto& path : hostile)
            EXPECT_TRUE(recorder().discard(path.string())) << path;
        EXPECT_TRUE(std::filesystem::exists(finished() / "deeper" / "meeting.m4a"));
        EXPECT_TRUE(std::filesystem::exists(finished() / "meeting.m4a"));
        EXPECT_TRUE(std::filesystem::exists(m_bench.temporary.path() / "outside" / "meeting.m4a"));
        EXPECT_TRUE(std::filesystem::is_symlink(root / "linked-out"));
    }

    TEST_F(DiscardTest, FollowsALinkIntoASessionDirectory)
    {
        auto link = m_bench.temporary.path() / "shortcut";
        std::filesystem::create_directory_symlink(finished(), link);
        ASSERT_TRUE(recorder().discard((link / "meeting.m4a").string()));
        EXPECT_FALSE(std::filesystem::exists(finished()));
    }

    TEST_F(DiscardTest, LeavesTheActiveSessionAlone)
    {
        ASSERT_TRUE(startNow(recorder()));
        auto active = *recorder().state().sessionDir;
        auto spelledDifferently = m_bench.recordings() / "finished" / ".." / active.filename() / "meeting.m4a";
        EXPECT_TRUE(recorder().discard(spelledDifferently.string()));
        EXPECT_TRUE(std::filesystem::exists(active / "segment-001.m4a"));
    }

} // namespace
} // namespace norla
