#include "platform/PosixFileHandles.h"
#include "platform/Seams.h"
#include "recording/RawTrack.h"

#include "TemporaryDirectory.h"
#include "TestEnvironment.h"
#include "TrackFiles.h"

#include <gtest/gtest.h>

#include <system_error>
#include <vector>

namespace norla {
namespace {

    class RawTrackTest : public ::testing::Test {
    protected:
        void SetUp() override { Seam<FileHandles>::install(std::make_shared<PosixFileHandles>()); }
        void TearDown() override { Seam<FileHandles>::install(nullptr); }

        std::filesystem::path track() const { return m_temporary.path() / "mic.f32"; }

        test::TestEnvironment m_environment;
        test::TemporaryDirectory m_temporary;
    };

    TEST_F(RawTrackTest, CreatingOverAnExistingFileLeavesItEmpty)
    {
        test::writeBytes(track(), std::string(4000, 'x'));
        auto created = RawTrack::create(track());
        ASSERT_TRUE(created.ok()) << created.error().description();
        EXPECT_EQ(std::filesystem::file_size(track()), 0u);
    }

    TEST_F(RawTrackTest, CreatingInAMissingDirectoryFailsWithThePlatformText)
    {
        auto created = RawTrack::create(m_temporary.path() / "gone" / "mic.f32");
        ASSERT_FALSE(created.ok());
        EXPECT_EQ(created.error().description(), std::make_error_code(std::errc::no_such_file_or_directory).message());
    }

    TEST_F(RawTrackTest, BlocksLandAtTheirTimelinePositionWithSilenceInGaps)
    {
        auto track = RawTrack::create(this->track()).valueOrThrow();
        std::vector<float> first { 0.25f, -0.5f };
        std::vector<float> later { 0.75f, 0.125f, -1.5f };
        track.write(first, 0.0);
        // 1.5 s is frame 24000, byte 96000.
        track.write(later, 1.5);
        // Unclamped values are kept as they came.
        track.close();

        auto samples = test::readSamples(this->track());
        ASSERT_EQ(samples.size(), 24003u);
        EXPECT_EQ(std::filesystem::file_size(this->track()), 96012u);
        EXPECT_EQ(samples[0], 0.25f);
        EXPECT_EQ(samples[1], -0.5f);
        for (std::size_t i = 2; i < 24000; ++i)
            ASSERT_EQ(samples[i], 0.0f) << "at sample " << i;
        EXPECT_EQ(samples[24000], 0.75f);
        EXPECT_EQ(samples[24001], 0.125f);
        EXPECT_EQ(samples[24002], -1.5f);
        EXPECT_TRUE(m_environment.log().lines().empty());
    }

    TEST_F(RawTrackTest, PositionsRoundDownToTheFrameAndLaterBlocksOverwriteEarlierOnes)
    {
        auto track = RawTrack::create(this->track()).valueOrThrow();
        track.write(std::vector<float> { 1, 2, 3, 4 }, 0.0);
        // 0.0001 s is 1.6 frames: the block starts at frame 1.
        track.write(std::vector<float> { 9, 8 }, 0.0001);
        track.close();
        EXPECT_EQ(test::readSamples(this->track()), (std::vector<float> { 1, 9, 8, 4 }));
    }

    TEST_F(RawTrackTest, FailedWritesAreLoggedAndDropped)
    {
        auto track = RawTrack::create(this->track()).valueOrThrow();
        track.write(std::vector<float> { 0.5f }, 0.0);
        track.write(std::vector<float> { 0.5f }, -1.0);
        track.close();
        track.write(std::vector<float> { 0.5f }, 1.0);

        auto lines = m_environment.log().lines();
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0], "RawTrack write failed: " + std::make_error_code(std::errc::invalid_argument).message());
        EXPECT_EQ(lines[1], "RawTrack write failed: " + std::make_error_code(std::errc::bad_file_descriptor).message());
        EXPECT_EQ(std::filesystem::file_size(this->track()), 4u);
    }

    TEST_F(RawTrackTest, SampleCountIgnoresATrailingPartialSample)
    {
        test::writeBytes(track(), std::string(10, '\0'));
        EXPECT_EQ(RawTrack::sampleCount(track()), 2u);
        EXPECT_EQ(RawTrack::sampleCount(m_temporary.path() / "missing.f32"), 0u);
    }

    // Records the order of calls on the handles it opens.
    class JournalingFileHandles final : public FileHandles {
    public:
        Result<std::unique_ptr<FileHandle>> openForWriting(const std::filesystem::path&) override
        {
            return std::unique_ptr<FileHandle>(std::make_unique<Handle>(m_journal));
        }
        Result<std::unique_ptr<FileHandle>> openForReading(const std::filesystem::path&) override
        {
            return Error::platform("not used");
        }
        std::vector<std::string> journal() const { return *m_journal; }

    private:
        class Handle final : public FileHandle {
        public:
            explicit Handle(std::shared_ptr<std::vector<std::string>> journal)
                : m_journal(std::move(journal))
            {
            }
            Result<void> seek(std::uint64_t offset) override { return note("seek " + std::to_string(offset)); }
            Result<void> write(std::span<const std::byte> bytes) override
            {
                return note("write " + std::to_string(bytes.size()));
            }
            Result<std::size_t> read(std::span<std::byte>) override { return Error::platform("not used"); }
            Result<void> synchronize() override
            {
                (void)note("synchronize");
                return Error::platform("Input/output error");
            }
            Result<void> close() override
            {
                (void)note("close");
                return Error::platform("Input/output error");
            }

        private:
            Result<void> note(std::string entry)
            {
                m_journal->push_back(std::move(entry));
                return {};
            }
            std::shared_ptr<std::vector<std::string>> m_journal;
        };
        std::shared_ptr<std::vector<std::string>> m_journal = std::make_shared<std::vector<std::string>>();
    };

    TEST_F(RawTrackTest, ClosingSynchronisesBeforeClosingAndIgnoresBothFailures)
    {
        auto handles = std::make_shared<JournalingFileHandles>();
        Seam<FileHandles>::install(handles);
        auto track = RawTrack::create(this->track()).valueOrThrow();
        track.write(std::vector<float> { 1, 2, 3 }, 2.0);
        track.close();

        EXPECT_EQ(handles->journal(), (std::vector<std::string> { "seek 128000", "write 12", "synchronize", "close" }));
        EXPECT_TRUE(m_environment.log().lines().empty());
    }

} // namespace
} // namespace norla
