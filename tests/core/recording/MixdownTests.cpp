#include "platform/PosixFileHandles.h"
#include "platform/Seams.h"
#include "recording/CaptureError.h"
#include "recording/Mixdown.h"

#include "FakeAudioFileWriter.h"
#include "FaultyFileHandles.h"
#include "TemporaryDirectory.h"
#include "TestEnvironment.h"
#include "TrackFiles.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <thread>
#include <vector>

namespace norla {
namespace {

    namespace fs = std::filesystem;

    class MixdownTest : public ::testing::Test {
    protected:
        void SetUp() override
        {
            Seam<FileHandles>::install(m_handles);
            Seam<AudioFileWriter>::install(m_writer);
        }
        void TearDown() override
        {
            Seam<FileHandles>::install(nullptr);
            Seam<AudioFileWriter>::install(nullptr);
        }

        fs::path dir() const { return m_temporary.path(); }
        fs::path system() const { return dir() / "system.f32"; }
        fs::path mic() const { return dir() / "mic.f32"; }
        fs::path meeting() const { return dir() / "meeting.m4a"; }
        fs::path partial() const { return dir() / "meeting.partial.m4a"; }
        const test::FakeAudioFileWriter::Written& written() const { return *m_writer->files().at(0); }

        // Every read handle the mixdown opened was closed again.
        void expectReadHandlesClosed() const
        {
            EXPECT_EQ(m_handles->closedReadHandleCount(), m_handles->readHandleCount());
        }

        test::TestEnvironment m_environment;
        test::TemporaryDirectory m_temporary;
        std::shared_ptr<test::FaultyFileHandles> m_handles
            = std::make_shared<test::FaultyFileHandles>(std::make_shared<PosixFileHandles>());
        std::shared_ptr<test::FakeAudioFileWriter> m_writer = std::make_shared<test::FakeAudioFileWriter>();
    };

    std::vector<float> constant(float value, std::size_t count) { return std::vector<float>(count, value); }

    TEST_F(MixdownTest, KeepsSystemAudioLeftAndMicrophoneRightForTheLengthOfTheLongerTrack)
    {
        auto systemSamples = test::tone(440, 0.5f, 40000);
        auto micSamples = test::tone(1000, 0.25f, 20000);
        test::writeSamples(system(), systemSamples);
        test::writeSamples(mic(), micSamples);

        auto result = mixdown(dir());
        ASSERT_TRUE(result.ok()) << result.error().description();
        EXPECT_EQ(result.value(), meeting());

        const auto& file = written();
        EXPECT_EQ(file.file, partial());
        EXPECT_EQ(file.settings, (AudioFileSettings { 0x61616320, 16000.0, 2, 64000 }));
        EXPECT_EQ(file.processingFormat, (AudioFormat { AudioCommonFormat::pcmFloat32, 16000.0, 2, false }));
        EXPECT_EQ(file.chunkLengths, (std::vector<std::uint32_t> { 16000, 16000, 8000 }));
        EXPECT_TRUE(file.closed);
        EXPECT_EQ(file.channels[0], systemSamples);
        ASSERT_EQ(file.channels[1].size(), 40000u);
        EXPECT_TRUE(std::equal(micSamples.begin(), micSamples.end(), file.channels[1].begin()));
        EXPECT_EQ(std::count(file.channels[1].begin() + 20000, file.channels[1].end(), 0.0f), 20000);

        EXPECT_TRUE(fs::exists(meeting()));
        EXPECT_FALSE(fs::exists(partial()));
        EXPECT_FALSE(fs::exists(system()));
        EXPECT_FALSE(fs::exists(mic()));
        expectReadHandlesClosed();
    }

    TEST_F(MixdownTest, AnExistingMeetingFileIsReturnedWithoutTouchingAnything)
    {
        test::writeBytes(meeting(), "finished");
        test::writeSamples(system(), constant(0.5f, 100));
        test::writeSamples(mic(), constant(0.5f, 100));

        auto result = mixdown(dir());
        ASSERT_TRUE(result.ok());
        EXPECT_EQ(result.value(), meeting());
        EXPECT_EQ(test::readBytes(meeting()), "finished");
        EXPECT_TRUE(fs::exists(system()));
        EXPECT_TRUE(fs::exists(mic()));
        EXPECT_EQ(m_writer->openCount(), 0u);
        EXPECT_EQ(m_handles->readOpenCount(), 0u);
    }

    TEST_F(MixdownTest, ChunksAreOneSecondWithAShortLastOne)
    {
        test::writeSamples(mic(), constant(0.5f, 16000));
        ASSERT_TRUE(mixdown(dir()).ok());
        EXPECT_EQ(written().chunkLengths, (std::vector<std::uint32_t> { 16000 }));

        fs::remove(meeting());
        test::writeSamples(mic(), constant(0.5f, 16001));
        ASSERT_TRUE(mixdown(dir()).ok());
        EXPECT_EQ(m_writer->files().at(1)->chunkLengths, (std::vector<std::uint32_t> { 16000, 1 }));
    }

    TEST_F(MixdownTest, OnlyAMicrophoneTrackLeavesTheLeftChannelSilent)
    {
        test::writeSamples(mic(), constant(0.5f, 300));
        ASSERT_TRUE(mixdown(dir()).ok());
        EXPECT_EQ(written().channels[0], constant(0.0f, 300));
        EXPECT_EQ(written().channels[1], constant(0.5f, 300));
    }

    TEST_F(MixdownTest, SamplesAreClampedAndTrailingPartialSamplesIgnored)
    {
        const float nan = std::numeric_limits<float>::quiet_NaN();
        test::writeSamples(system(), std::vector<float> { 1.5f, -2.0f, 0.5f, nan, -1.0f });
        std::string micBytes(9, '\0'); // two samples of silence and one stray byte
        test::writeBytes(mic(), micBytes);

        ASSERT_TRUE(mixdown(dir()).ok());
        EXPECT_EQ(written().channels[0], (std::vector<float> { 1.0f, -1.0f, 0.5f, 0.0f, -1.0f }));
        EXPECT_EQ(written().channels[1], constant(0.0f, 5));
    }

    TEST_F(MixdownTest, SilenceBelowThePeakThresholdIsEmptyAndKeepsTheRawTracks)
    {
        test::writeSamples(system(), constant(0.0f, 20000));
        test::writeSamples(mic(), std::vector<float> { 0.00009f, -0.00009f });

        auto result = mixdown(dir());
        ASSERT_FALSE(result.ok());
        EXPECT_TRUE(result.error().is(CaptureError::empty));
        EXPECT_EQ(result.error().description(), "音が1つも録れていません");
        EXPECT_FALSE(fs::exists(partial()));
        EXPECT_FALSE(fs::exists(meeting()));
        EXPECT_TRUE(fs::exists(system()));
        EXPECT_TRUE(fs::exists(mic()));
        expectReadHandlesClosed();

        // The threshold itself counts as sound.
        test::writeSamples(mic(), std::vector<float> { 0.0f, -0.0001f });
        EXPECT_TRUE(mixdown(dir()).ok());
    }

    TEST_F(MixdownTest, MissingOrEmptyTracksAreEmptyWithoutAnOutputFile)
    {
        auto missing = mixdown(dir());
        ASSERT_FALSE(missing.ok());
        EXPECT_TRUE(missing.error().is(CaptureError::empty));

        test::writeBytes(system(), "");
        test::writeBytes(mic(), "abc");
        auto tooShort = mixdown(dir());
        ASSERT_FALSE(tooShort.ok());
        EXPECT_TRUE(tooShort.error().is(CaptureError::empty));
        EXPECT_EQ(m_writer->openCount(), 0u);
        expectReadHandlesClosed();
    }

    TEST_F(MixdownTest, ATrackThatExistsButCannotBeOpenedIsAnErrorAndKeepsBothTracks)
    {
        test::writeSamples(system(), constant(0.75f, 30000));
        test::writeSamples(mic(), constant(0.5f, 10000));
        m_handles->refuseReading(system(), Error::platform("Permission denied", 13));

        auto result = mixdown(dir());
        ASSERT_FALSE(result.ok()) << "its sound would be lost with the raw tracks";
        EXPECT_EQ(result.error(), Error::platform("Permission denied", 13));
        EXPECT_EQ(m_writer->openCount(), 0u);
        EXPECT_TRUE(fs::exists(system()));
        EXPECT_TRUE(fs::exists(mic()));
        EXPECT_FALSE(fs::exists(meeting()));
        expectReadHandlesClosed();
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
        ASSERT_TRUE(mixdown(dir()).ok());
        EXPECT_EQ(
            steps, (std::vector<std::string> { "meeting.partial.m4a raw", dir().filename().string() + " named raw" }));
        EXPECT_FALSE(fs::exists(mic()));

        // A flush that fails publishes nothing; one of the directory that fails keeps the raw tracks.
        fs::remove(meeting());
        test::writeSamples(mic(), constant(0.5f, 100));
        auto ioError = Error::platform("Input/output error", 5);
        m_handles->onSynchronize([&](const fs::path&) -> Result<void> { return ioError; });
        auto unsynchronized = mixdown(dir());
        ASSERT_FALSE(unsynchronized.ok());
        EXPECT_EQ(unsynchronized.error(), ioError);
        EXPECT_FALSE(fs::exists(meeting()));
        EXPECT_TRUE(fs::exists(mic()));

        m_handles->onSynchronize([&](const fs::path& path) -> Result<void> {
            if (path == dir())
                return ioError;
            return {};
        });
        ASSERT_TRUE(mixdown(dir()).ok());
        EXPECT_TRUE(fs::exists(meeting()));
        EXPECT_TRUE(fs::exists(mic())) << "its new name may not be on the disk yet";
        expectReadHandlesClosed();
    }

    TEST_F(MixdownTest, AFailedOpeningOfTheOutputStillRemovedTheStalePartialFile)
    {
        test::writeBytes(partial(), "left over from an interrupted run");
        test::writeSamples(mic(), constant(0.5f, 100));
        m_writer->failOpening(Error::platform("Permission denied", 13));

        auto result = mixdown(dir());
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error(), Error::platform("Permission denied", 13));
        EXPECT_FALSE(fs::exists(partial()));
        EXPECT_TRUE(fs::exists(mic()));
        expectReadHandlesClosed();
    }

    TEST_F(MixdownTest, ReadWriteAndCloseFailuresPassThroughAndKeepTheRawTracks)
    {
        test::writeSamples(system(), constant(0.5f, 40000));
        test::writeSamples(mic(), constant(0.5f, 40000));
        auto ioError = Error::platform("Input/output error", 5);

        m_handles->failReadsAfter(mic(), 64000, ioError);
        auto readFailure = mixdown(dir());
        ASSERT_FALSE(readFailure.ok());
        EXPECT_EQ(readFailure.error(), ioError);
        EXPECT_EQ(m_writer->files().at(0)->chunkLengths, (std::vector<std::uint32_t> { 16000 }));

        m_handles = std::make_shared<test::FaultyFileHandles>(std::make_shared<PosixFileHandles>());
        Seam<FileHandles>::install(m_handles);
        m_writer->failWrite(1, Error::platform("No space left on device", 28));
        auto writeFailure = mixdown(dir());
        ASSERT_FALSE(writeFailure.ok());
        EXPECT_EQ(writeFailure.error().description(), "No space left on device");

        m_writer = std::make_shared<test::FakeAudioFileWriter>();
        Seam<AudioFileWriter>::install(m_writer);
        m_writer->failClosing(ioError);
        auto closeFailure = mixdown(dir());
        ASSERT_FALSE(closeFailure.ok());
        EXPECT_EQ(closeFailure.error(), ioError);

        for (const auto& file : { system(), mic(), partial() })
            EXPECT_TRUE(fs::exists(file)) << file;
        EXPECT_FALSE(fs::exists(meeting()));
        expectReadHandlesClosed();
    }

    TEST_F(MixdownTest, ARenameFailureKeepsThePartialFileAndTheRawTracks)
    {
        test::writeSamples(mic(), constant(0.5f, 100));
        // Something taking the finished file's place while the output is written makes the rename fail.
        class ObstructingWriter final : public AudioFileWriter {
        public:
            explicit ObstructingWriter(fs::path obstacle)
                : m_obstacle(std::move(obstacle))
            {
            }
            Result<std::unique_ptr<AudioFile>> openForWriting(
                const fs::path& file, const AudioFileSettings& settings, const AudioFormat& format) override
            {
                fs::create_directories(m_obstacle / "blocker");
                return m_inner.openForWriting(file, settings, format);
            }

        private:
            fs::path m_obstacle;
            test::FakeAudioFileWriter m_inner;
        };
        Seam<AudioFileWriter>::install(std::make_shared<ObstructingWriter>(meeting()));

        auto result = mixdown(dir());
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().domain(), "platform");
        EXPECT_TRUE(fs::exists(partial()));
        EXPECT_TRUE(fs::exists(mic()));
        EXPECT_TRUE(fs::is_directory(meeting()));
    }

    TEST_F(MixdownTest, ConcurrentMixdownsOfOneDirectoryWriteItOnce)
    {
        test::writeSamples(system(), test::tone(440, 0.5f, 50000));
        std::vector<Result<fs::path>> results(4, Result<fs::path>(Error()));
        {
            std::vector<std::jthread> threads;
            threads.reserve(results.size());
            for (auto& result : results)
                threads.emplace_back([this, &result] { result = mixdown(dir()); });
        }
        for (const auto& result : results) {
            ASSERT_TRUE(result.ok());
            EXPECT_EQ(result.value(), meeting());
        }
        EXPECT_EQ(m_writer->openCount(), 1u);
    }

} // namespace
} // namespace norla
