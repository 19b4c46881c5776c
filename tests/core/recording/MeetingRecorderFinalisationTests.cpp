// Ending a session, merging segments, finishing left-over recordings and discarding finished ones, also in
// directories that other processes have claimed.
#include "RecorderTestBench.h"

#include "FaultyFileHandles.h"

#include "recording/RecorderError.h"

#include <gtest/gtest.h>

namespace norla {
namespace {

    namespace fs = std::filesystem;
    using test::makeSession;
    using test::readBytes;
    using test::RecorderTestBench;
    using test::writeBytes;
    using test::writeSamples;

    constexpr auto emptyRecording = "録音をまとめられませんでした: 録音が空です";

    TEST(MeetingRecorderFinalisationTest, AMergeLeavesOutWhatCannotBeReadAndRemovesTheSegmentsOnceItIsOnTheDisk)
    {
        RecorderTestBench bench;
        auto handles = std::make_shared<test::FaultyFileHandles>(bench.fileHandles);
        bench.fileHandles = handles;
        auto& recorder = bench.make();
        auto dir = bench.recordings() / "left-over";
        makeSession(dir,
            { { "segment-001.m4a", "2" }, { "segment-002.m4a", "notaudio" }, { "segment-003.m4a", "3.5" },
                { "segment-004.m4a", "notracks" }, { "segment-005.m4a", "noduration" }, { "segment-006.m4a", "0" },
                { "segment-007.M4A", "9" }, { "notes.m4a", "9" } });
        std::vector<std::string> steps;
        std::optional<Error> failure = Error::platform("Input/output error", 5);
        handles->onSynchronize([&](const fs::path& path) -> Result<void> {
            steps.push_back(path.filename().string() + (fs::exists(dir / "segment-001.m4a") ? " with segments" : ""));
            return failure ? Result<void>(*failure) : Result<void>();
        });

        ASSERT_TRUE(recorder.mergeSegments(dir));
        EXPECT_EQ(
            readBytes(dir / "meeting.m4a"), "segment-001.m4a at=0 duration=2\nsegment-003.m4a at=2 duration=3.5\n");
        EXPECT_TRUE(fs::exists(dir / "segment-001.m4a")) << "kept while the output may not be durable";

        fs::remove(dir / "meeting.m4a");
        steps.clear();
        failure.reset();
        ASSERT_TRUE(recorder.mergeSegments(dir));
        EXPECT_EQ(steps, (std::vector<std::string> { "meeting.m4a with segments", "left-over with segments" }));
        EXPECT_FALSE(fs::exists(dir / "segment-001.m4a"));
        EXPECT_FALSE(fs::exists(dir / "segment-002.m4a"));
        EXPECT_TRUE(fs::exists(dir / "segment-007.M4A")) << "not a segment: the extension differs";
        EXPECT_TRUE(fs::exists(dir / "notes.m4a"));
        writeBytes(dir / "segment-008.m4a", "5");
        EXPECT_EQ(recorder.mergeSegments(dir).value(), dir / "meeting.m4a") << "an existing meeting.m4a as is";
        EXPECT_TRUE(fs::exists(dir / "segment-008.m4a"));
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
            ASSERT_TRUE(recorder.startAndWait());
            bench.composer->fail(failure);
            EXPECT_EQ(recorder.stopAndWait().error().description(), description);
            EXPECT_FALSE(recorder.isRecording());
            EXPECT_TRUE(fs::exists(bench.session(1) / "segment-001.m4a"));
            EXPECT_FALSE(fs::exists(bench.session(1) / "meeting.m4a"));

            bench.composer->fail(Failure::none);
            EXPECT_EQ(recorder.pendingAndWait().value(), bench.session(1) / "meeting.m4a");
        }
    }

    TEST(MeetingRecorderFinalisationTest,
        PendingWalksTheRecordingsInNameOrderSkippingClaimedOnesAndHidesNothingBehindABrokenOne)
    {
        RecorderTestBench bench; // raw tracks are mixed also where the platform has no system audio
        auto& recorder = bench.make();
        // The page's asynchronous answers carry the same: nothing, a path, or why not.
        recorder.pending([](auto found) { EXPECT_EQ(found.value(), std::nullopt) << "no recordings directory yet"; });

        auto root = bench.recordings();
        makeSession(root / "a-claimed", { { "segment-001.m4a", "4" } });
        bench.claims->holdElsewhere(root / "a-claimed");
        makeSession(root / "a-empty", {});
        makeSession(root / "b-broken", { { "segment-001.m4a", "notaudio" } });
        writeSamples(root / "c-silent" / "mic.f32", std::vector<float>(1600, 0.0f));
        writeSamples(root / "d-unmixable" / "system.f32", test::tone(440, 0.5f, 1600));
        writeSamples(root / "e-raw" / "mic.f32", test::tone(440, 0.5f, 1600));
        makeSession(root / "f-segments", { { "segment-001.m4a", "4" } });
        makeSession(root / "g-finished", { { "meeting.m4a", "done" } });
        writeBytes(root / "0-stray.txt", "stray");
        bench.writer->openFailure = Error::platform("encoder unavailable");

        EXPECT_EQ(recorder.pendingAndWait().value(), root / "f-segments" / "meeting.m4a");
        EXPECT_FALSE(fs::exists(root / "0-stray.txt"));
        EXPECT_FALSE(fs::exists(root / "a-empty"));
        EXPECT_TRUE(fs::exists(root / "a-claimed" / "segment-001.m4a")) << "a session claimed elsewhere is left alone";
        EXPECT_TRUE(fs::exists(root / "b-broken" / "segment-001.m4a"));
        EXPECT_TRUE(bench.environment.log().contains("MeetingRecorder: b-broken: " + std::string(emptyRecording)));
        EXPECT_TRUE(fs::exists(root / "c-silent")) << "not mixed while the writer fails";
        EXPECT_TRUE(fs::exists(root / "d-unmixable" / "system.f32")) << "audible raw tracks stay";
        EXPECT_TRUE(bench.environment.log().contains(
            "MeetingRecorder: 録音をまとめ直せません（raw は残す）: encoder unavailable"));

        bench.writer->openFailure.reset();
        std::vector<std::string> found;
        for (auto answer = recorder.pendingAndWait(); answer && answer.value(); answer = recorder.pendingAndWait()) {
            found.push_back(answer.value()->parent_path().filename().string());
            ASSERT_TRUE(recorder.discard(answer.value()->string()));
        }
        EXPECT_EQ(found, (std::vector<std::string> { "d-unmixable", "e-raw", "f-segments", "g-finished" }));
        EXPECT_FALSE(fs::exists(root / "c-silent")) << "nothing audible: removed";

        auto claimed = root / "a-claimed" / "meeting.m4a";
        EXPECT_EQ(recorder.discard(claimed.string()).error().description(), "この録音はほかのプロセスが使っています");
        bench.claims->releaseElsewhere(root / "a-claimed");
        recorder.pending([&](auto answer) { EXPECT_EQ(answer.value(), claimed.string()); });
        EXPECT_FALSE(bench.claims->isHeldHere(root / "a-claimed")) << "given up once it was returned";
        ASSERT_TRUE(recorder.discard(claimed.string()));
        recorder.pending([](auto answer) {
            EXPECT_EQ(answer.error().description(), emptyRecording) << "alone, the broken one says why";
        });
    }

    TEST(MeetingRecorderFinalisationTest, DiscardRemovesOnlyTheDirectoryOfAMeetingFileOfAnInactiveSession)
    {
        RecorderTestBench bench;
        auto& recorder = bench.make();
        auto root = bench.recordings();
        auto finished = root / "finished";
        auto outside = bench.temporary.path() / "outside";
        makeSession(finished / "deeper", { { "meeting.m4a", "m" } });
        writeBytes(finished / "meeting.m4a", "m");
        makeSession(outside, { { "meeting.m4a", "keep" } });
        fs::create_symlink(outside, root / "linked-out");
        fs::create_symlink(outside / "meeting.m4a", finished / "link.m4a");
        ASSERT_TRUE(recorder.startAndWait());
        auto active = *recorder.state().sessionDir;
        bench.fakeQueue().advanceBy(seconds(300));

        const std::vector<fs::path> ignored { root / "finished" / ".." / ".." / "outside" / "meeting.m4a",
            root / ".." / "outside" / "meeting.m4a", finished / "segment-001.m4a", finished / "link.m4a",
            finished / "deeper" / "meeting.m4a", root / "meeting.m4a", root / "linked-out" / "meeting.m4a", root,
            "meeting.m4a", "", root / "finished" / ".." / active.filename() / "meeting.m4a" };
        for (const auto& path : ignored)
            EXPECT_TRUE(recorder.discard(path.string())) << path;
        EXPECT_TRUE(fs::exists(finished / "deeper" / "meeting.m4a"));
        EXPECT_TRUE(fs::exists(outside / "meeting.m4a"));
        EXPECT_TRUE(fs::is_symlink(root / "linked-out"));
        EXPECT_EQ(MeetingRecorder::listSegments(active).size(), 2u);

        // Through a link to the session, and without a meeting.m4a in it.
        fs::remove(finished / "meeting.m4a");
        fs::create_directory_symlink(finished, bench.temporary.path() / "shortcut");
        ASSERT_TRUE(recorder.discard((bench.temporary.path() / "shortcut" / "meeting.m4a").string()));
        EXPECT_FALSE(fs::exists(finished));
        EXPECT_TRUE(fs::exists(root));
    }

} // namespace
} // namespace norla
