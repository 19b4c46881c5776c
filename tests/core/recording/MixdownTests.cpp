#include "platform/PosixFileHandles.h"
#include "recording/CaptureError.h"
#include "recording/Mixdown.h"

#include "FakeAudioFileWriter.h"
#include "FaultyFileHandles.h"
#include "TemporaryDirectory.h"
#include "TestEnvironment.h"
#include "TrackFiles.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <thread>
#include <vector>

namespace norla {
namespace {

    namespace fs = std::filesystem;

    class MixdownTest : public ::testing::Test {
    protected:
        void TearDown() override { EXPECT_EQ(m_handles->openReadHandles(), 0) << "a read handle leaked"; }

        Result<fs::path> mix() { return mixdown(dir(), *m_handles, *m_writer); }
        fs::path dir() const { return m_temporary.path(); }
        fs::path system() const { return dir() / "system.f32"; }
        fs::path mic() const { return dir() / "mic.f32"; }
        fs::path meeting() const { return dir() / "meeting.m4a"; }
        fs::path partial() const { return dir() / "meeting.partial.m4a"; }

        test::TestEnvironment m_environment;
        test::TemporaryDirectory m_temporary;
        std::shared_ptr<test::FaultyFileHandles> m_handles
            = std::make_shared<test::FaultyFileHandles>(std::make_shared<PosixFileHandles>());
        std::shared_ptr<test::FakeAudioFileWriter> m_writer = std::make_shared<test::FakeAudioFileWriter>();
    };

    std::vector<float> constant(float value, std::size_t count) { return std::vector<float>(count, value); }

    TEST_F(MixdownTest, PutsSystemAudioLeftAndTheClampedMicrophoneRightForTheLongerTrack)
    {
        auto systemSamples = test::tone(440, 0.5f, 32001);
        test::writeSamples(system(), systemSamples);
        const float nan = std::numeric_limits<float>::quiet_NaN();
        std::vector<float> micSamples { 1.5f, -2.0f, 0.25f, nan, -1.0f };
        std::string micBytes(reinterpret_cast<const char*>(micSamples.data()), micSamples.size() * sizeof(float));
        test::writeBytes(mic(), micBytes + "x"); // a stray byte of an unfinished sample

        auto result = mix();
        ASSERT_TRUE(result) << result.error().description();
        EXPECT_EQ(result.value(), meeting());
        const auto& file = *m_writer->files.at(0);
        EXPECT_EQ(file.file, partial());
        EXPECT_EQ(file.chunkLengths, (std::vector<std::uint32_t> { 16000, 16000, 1 }));
        EXPECT_TRUE(file.closed);
        EXPECT_EQ(file.channels[0], systemSamples);
        auto expectedMic = constant(0.0f, 32001);
        std::copy_n(std::vector<float> { 1.0f, -1.0f, 0.25f, 0.0f, -1.0f }.begin(), 5, expectedMic.begin());
        EXPECT_EQ(file.channels[1], expectedMic);
        EXPECT_TRUE(fs::exists(meeting()));
        for (const auto& gone : { partial(), system(), mic() })
            EXPECT_FALSE(fs::exists(gone)) << gone;
    }

    TEST_F(MixdownTest, AnExistingMeetingFileIsReturnedUntouchedAlsoToConcurrentMixdowns)
    {
        test::writeSamples(system(), test::tone(440, 0.5f, 50000));
        std::vector<Result<fs::path>> results(4, Result<fs::path>(Error()));
        {
            std::vector<std::jthread> threads;
            for (auto& result : results)
                threads.emplace_back([this, &result] { result = mix(); });
        }
        for (const auto& result : results)
            EXPECT_EQ(result.value(), meeting());
        EXPECT_EQ(m_writer->files.size(), 1u) << "one mixes, the others find its meeting file";
    }

    TEST_F(MixdownTest, NothingAudibleIsEmptyAndKeepsTheRawTracks)
    {
        EXPECT_TRUE(mix().error().is(CaptureError::empty)) << "no tracks";
        test::writeBytes(system(), "");
        test::writeBytes(mic(), "abc");
        EXPECT_TRUE(mix().error().is(CaptureError::empty)) << "no whole sample";
        EXPECT_TRUE(m_writer->files.empty());

        test::writeSamples(system(), constant(0.0f, 20000));
        test::writeSamples(mic(), std::vector<float> { 0.00009f, -0.00009f });
        EXPECT_TRUE(mix().error().is(CaptureError::empty)) << "below the silence threshold";
        EXPECT_FALSE(fs::exists(partial()));
        EXPECT_TRUE(fs::exists(mic())) << "the raw tracks are the only copy";

        test::writeSamples(mic(), std::vector<float> { 0.0f, -0.0001f });
        EXPECT_TRUE(mix()) << "the threshold itself counts as sound";
    }

    TEST_F(MixdownTest, FailuresPassThroughAndKeepTheRawTracks)
    {
        auto ioError = Error::platform("Input/output error", 5);
        struct Case {
            const char* name;
            std::function<void()> plan;
            std::size_t chunksWritten;
        };
        const std::vector<Case> cases {
            // A track that exists but cannot be read would otherwise be mixed as silence and lost.
            { "unreadable track", [&] { m_handles->failReading(system(), ioError); }, 0 },
            { "read", [&] { m_handles->failReading(mic(), ioError, 64000); }, 1 },
            { "open", [&] { m_writer->openFailure = ioError; }, 0 },
            { "write", [&] { m_writer->writeFailure.emplace(1, ioError); }, 1 },
            { "close", [&] { m_writer->closeFailure = ioError; }, 3 },
        };
        for (const auto& failure : cases) {
            SCOPED_TRACE(failure.name);
            m_handles = std::make_shared<test::FaultyFileHandles>(std::make_shared<PosixFileHandles>());
            m_writer = std::make_shared<test::FakeAudioFileWriter>();
            test::writeBytes(partial(), "left over from an interrupted run");
            test::writeSamples(system(), constant(0.5f, 40000));
            test::writeSamples(mic(), constant(0.5f, 40000));
            failure.plan();

            auto result = mix();
            ASSERT_FALSE(result);
            EXPECT_EQ(result.error(), ioError);
            auto written = m_writer->files.empty() ? 0 : m_writer->files[0]->chunkLengths.size();
            EXPECT_EQ(written, failure.chunksWritten);
            EXPECT_TRUE(fs::exists(system()) && fs::exists(mic()));
            EXPECT_FALSE(fs::exists(meeting()));
            if (failure.name == std::string("open")) {
                EXPECT_FALSE(fs::exists(partial())) << "the stale partial file is removed before opening";
            }
            EXPECT_EQ(m_handles->openReadHandles(), 0);
        }
    }

    TEST_F(MixdownTest, TheMeetingFileIsOnTheDiskBeforeItIsNamedAndTheRawTracksGo)
    {
        test::writeSamples(mic(), constant(0.5f, 100));
        std::vector<std::string> steps;
        m_handles->onSynchronize([&](const fs::path& path) -> Result<void> {
            steps.push_back(
                path.filename().string() + (fs::exists(meeting()) ? " named" : "") + (fs::exists(mic()) ? " raw" : ""));
            return {};
        });
        ASSERT_TRUE(mix());
        EXPECT_EQ(
            steps, (std::vector<std::string> { "meeting.partial.m4a raw", dir().filename().string() + " named raw" }));
        EXPECT_FALSE(fs::exists(mic()));

        // A flush that fails publishes nothing; one of the directory that fails keeps the raw tracks.
        fs::remove(meeting());
        test::writeSamples(mic(), constant(0.5f, 100));
        auto ioError = Error::platform("Input/output error", 5);
        m_handles->onSynchronize([&](const fs::path&) -> Result<void> { return ioError; });
        EXPECT_EQ(mix().error(), ioError);
        EXPECT_TRUE(fs::exists(mic()) && !fs::exists(meeting()));

        m_handles->onSynchronize([&](const fs::path& path) -> Result<void> {
            return path == dir() ? Result<void>(ioError) : Result<void>();
        });
        ASSERT_TRUE(mix());
        EXPECT_TRUE(fs::exists(mic())) << "its new name may not be on the disk yet";

        // Something takes the finished file's place: the rename fails, the partial file and raw tracks stay.
        fs::remove(meeting());
        m_handles->onSynchronize([&](const fs::path&) -> Result<void> {
            fs::create_directories(meeting() / "blocker");
            return {};
        });
        EXPECT_EQ(mix().error().domain(), "platform");
        EXPECT_TRUE(fs::exists(partial()));
        EXPECT_TRUE(fs::exists(mic()));
    }

} // namespace
} // namespace norla
