#include "platform/ApplicationSupport.h"
#include "platform/Seams.h"
#include "platform/UuidGenerator.h"
#include "recording/CaptureError.h"
#include "recording/RecordingFiles.h"

#include "TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <system_error>

namespace norla {
namespace {

    class FixedApplicationSupport final : public ApplicationSupport {
    public:
        explicit FixedApplicationSupport(std::filesystem::path directory)
            : m_directory(std::move(directory))
        {
        }
        std::filesystem::path directory() const override { return m_directory; }

    private:
        std::filesystem::path m_directory;
    };

    class ScriptedUuids final : public UuidGenerator {
    public:
        explicit ScriptedUuids(std::vector<std::string> uuids)
            : m_uuids(std::move(uuids))
        {
        }
        std::string uuidString() override { return m_uuids.at(m_next++); }

    private:
        std::vector<std::string> m_uuids;
        std::size_t m_next = 0;
    };

    class RecordingFilesTest : public ::testing::Test {
    protected:
        void SetUp() override
        {
            Seam<ApplicationSupport>::install(
                std::make_shared<FixedApplicationSupport>(m_temporary.path() / "support"));
        }
        void TearDown() override
        {
            Seam<ApplicationSupport>::install(nullptr);
            Seam<UuidGenerator>::install(nullptr);
        }
        test::TemporaryDirectory m_temporary;
    };

    TEST_F(RecordingFilesTest, RecordingsLiveInTheApplicationSupportDirectory)
    {
        EXPECT_EQ(RecordingFiles::recordingsDirectory(), m_temporary.path() / "support" / "recordings");
    }

    TEST_F(RecordingFilesTest, SessionDirectoriesAreNamedByLowerCasedUuidsAndCreateTheDirectoriesAbove)
    {
        Seam<UuidGenerator>::install(std::make_shared<ScriptedUuids>(std::vector<std::string> {
            "E621E1F8-C36C-495A-93FC-0C247A3E6E5F", "0f1e2d3c-4b5a-4978-8695-a4b3c2d1e0f9" }));

        auto first = RecordingFiles::createSessionDirectory();
        ASSERT_TRUE(first.ok()) << first.error().description();
        EXPECT_EQ(
            first.value(), m_temporary.path() / "support" / "recordings" / "e621e1f8-c36c-495a-93fc-0c247a3e6e5f");
        EXPECT_TRUE(std::filesystem::is_directory(first.value()));

        auto second = RecordingFiles::createSessionDirectory();
        ASSERT_TRUE(second.ok());
        EXPECT_EQ(second.value().filename(), "0f1e2d3c-4b5a-4978-8695-a4b3c2d1e0f9");
        EXPECT_TRUE(std::filesystem::is_directory(second.value()));
    }

    TEST_F(RecordingFilesTest, SessionDirectoryCreationFailsWithThePlatformTextWhereTheRootIsAFile)
    {
        Seam<UuidGenerator>::install(
            std::make_shared<ScriptedUuids>(std::vector<std::string> { "e621e1f8-c36c-495a-93fc-0c247a3e6e5f" }));
        std::filesystem::create_directories(m_temporary.path() / "support");
        std::ofstream(m_temporary.path() / "support" / "recordings") << "not a directory";

        auto created = RecordingFiles::createSessionDirectory();
        ASSERT_FALSE(created.ok());
        EXPECT_EQ(created.error().domain(), "platform");
        EXPECT_EQ(created.error().description(), std::make_error_code(std::errc::not_a_directory).message());
    }

    TEST(RecordingFileNames, SegmentsAreNumberedWithAtLeastThreeDigits)
    {
        EXPECT_EQ(RecordingFiles::segmentFileName(1), "segment-001.m4a");
        EXPECT_EQ(RecordingFiles::segmentFileName(42), "segment-042.m4a");
        EXPECT_EQ(RecordingFiles::segmentFileName(1000), "segment-1000.m4a");

        EXPECT_TRUE(RecordingFiles::isSegmentFileName("segment-001.m4a"));
        EXPECT_TRUE(RecordingFiles::isSegmentFileName("segment-1000.m4a"));
        EXPECT_FALSE(RecordingFiles::isSegmentFileName("segment-01.m4a"));
        EXPECT_FALSE(RecordingFiles::isSegmentFileName("segment-0a1.m4a"));
        EXPECT_FALSE(RecordingFiles::isSegmentFileName("meeting.m4a"));
        EXPECT_FALSE(RecordingFiles::isSegmentFileName("segment-001.m4a.tmp"));
    }

    TEST(CaptureErrors, CarryTheirJapaneseDescriptions)
    {
        auto denied = captureError(CaptureError::permissionDenied, "The user declined TCCs for application");
        EXPECT_EQ(denied.description(), "画面収録が許可されていません: The user declined TCCs for application");
        EXPECT_TRUE(denied.is(CaptureError::permissionDenied));
        EXPECT_EQ(Error::from(CaptureError::noDisplay).description(), "画面が見つかりません");
        EXPECT_EQ(Error::from(CaptureError::empty).description(), "音が1つも録れていません");
        EXPECT_TRUE(Error::from(CaptureError::empty).is(CaptureError::empty));
        EXPECT_FALSE(Error::from(CaptureError::empty).is(CaptureError::noDisplay));
    }

} // namespace
} // namespace norla
