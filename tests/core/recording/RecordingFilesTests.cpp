#include "platform/ApplicationSupport.h"
#include "platform/Seams.h"
#include "platform/UuidGenerator.h"
#include "recording/RecordingFiles.h"

#include "TemporaryDirectory.h"
#include "TrackFiles.h"

#include <gtest/gtest.h>

#include <system_error>

namespace norla {
namespace {

    class RecordingFilesTest : public ::testing::Test, public ApplicationSupport, public UuidGenerator {
    protected:
        void SetUp() override
        {
            Seam<ApplicationSupport>::install(std::shared_ptr<ApplicationSupport>(this, [](auto*) {}));
            Seam<UuidGenerator>::install(std::shared_ptr<UuidGenerator>(this, [](auto*) {}));
        }
        void TearDown() override
        {
            Seam<ApplicationSupport>::install(nullptr);
            Seam<UuidGenerator>::install(nullptr);
        }
        std::filesystem::path directory() const override { return m_temporary.path(); }
        std::string uuidString() override { return "E621E1F8-C36C-495A-93FC-0C247A3E6E5F"; }

        test::TemporaryDirectory m_temporary;
    };

    TEST_F(RecordingFilesTest, SessionDirectoriesAreNamedByLowerCasedUuidsUnderTheRecordingsDirectory)
    {
        auto created = RecordingFiles::createSessionDirectory();
        EXPECT_EQ(created.value(), directory() / "recordings" / "e621e1f8-c36c-495a-93fc-0c247a3e6e5f");
        EXPECT_TRUE(std::filesystem::is_directory(created.value()));

        std::filesystem::remove_all(directory() / "recordings");
        test::writeBytes(directory() / "recordings", "not a directory");
        EXPECT_EQ(RecordingFiles::createSessionDirectory().error().description(),
            std::make_error_code(std::errc::not_a_directory).message());
    }

    TEST(RecordingFileNameTest, SegmentsAreNumberedWithAtLeastThreeDigits)
    {
        EXPECT_EQ(RecordingFiles::segmentFileName(1), "segment-001.m4a");
        EXPECT_EQ(RecordingFiles::segmentFileName(1000), "segment-1000.m4a");
        const std::vector<std::pair<std::string, bool>> names { { "segment-001.m4a", true },
            { "segment-1000.m4a", true }, { "segment-01.m4a", false }, { "segment-0a1.m4a", false },
            { "meeting.m4a", false }, { "segment-001.m4a.tmp", false }, { "xsegment-001.m4a", false } };
        for (const auto& [name, isSegment] : names)
            EXPECT_EQ(RecordingFiles::isSegmentFileName(name), isSegment) << name;
    }

} // namespace
} // namespace norla
