#include "platform/PosixFileHandles.h"
#include "recording/RawTrack.h"

#include "TemporaryDirectory.h"
#include "TestEnvironment.h"
#include "TrackFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <system_error>
#include <vector>

namespace norla {
namespace {

    class RawTrackTest : public ::testing::Test {
    protected:
        std::filesystem::path file() const { return m_temporary.path() / "mic.f32"; }
        RawTrack make() { return RawTrack::make(file(), m_handles).valueOrThrow(); }

        test::TestEnvironment m_environment;
        test::TemporaryDirectory m_temporary;
        PosixFileHandles m_handles;
    };

    TEST_F(RawTrackTest, BlocksLandAtTheirFrameWithSilenceInGapsAndFailedWritesAreLoggedAndDropped)
    {
        auto track = make();
        track.write(std::vector<float> { 1, 2, 3, 4 }, 0.0);
        track.write(std::vector<float> { 9, 8 }, 0.0001); // 1.6 frames: the block starts at frame 1
        track.write(std::vector<float> { 0.75f, -1.5f }, 1.5); // frame 24000; values are kept as they came
        track.close();

        auto samples = test::readSamples(file());
        ASSERT_EQ(samples.size(), 24002u);
        EXPECT_EQ(std::vector<float>(samples.begin(), samples.begin() + 4), (std::vector<float> { 1, 9, 8, 4 }));
        EXPECT_EQ(std::count(samples.begin() + 4, samples.begin() + 24000, 0.0f), 23996);
        EXPECT_EQ(samples[24000], 0.75f);
        EXPECT_EQ(samples[24001], -1.5f);
        EXPECT_TRUE(m_environment.log().lines().empty());

        // Failures carry the platform's text; failed writes are logged and dropped.
        auto made = RawTrack::make(m_temporary.path() / "gone" / "mic.f32", m_handles);
        EXPECT_EQ(made.error().description(), std::make_error_code(std::errc::no_such_file_or_directory).message());

        test::writeBytes(file(), std::string(4001, 'x'));
        EXPECT_EQ(RawTrack::sampleCount(file()), 1000u) << "a trailing partial sample does not count";
        auto again = make();
        EXPECT_EQ(RawTrack::sampleCount(file()), 0u) << "an earlier file is replaced";
        again.write(std::vector<float> { 0.5f }, 0.0);
        again.write(std::vector<float> { 0.5f }, -1.0);
        again.write(std::vector<float> { 0.5f }, std::nan(""));
        again.close();
        again.write(std::vector<float> { 0.5f }, 1.0);

        auto invalid = "RawTrack write failed: " + std::make_error_code(std::errc::invalid_argument).message();
        EXPECT_EQ(m_environment.log().lines(),
            (std::vector<std::string> { invalid, invalid,
                "RawTrack write failed: " + std::make_error_code(std::errc::bad_file_descriptor).message() }));
        EXPECT_EQ(RawTrack::sampleCount(file()), 1u);
        EXPECT_EQ(RawTrack::sampleCount(m_temporary.path() / "missing.f32"), 0u);
    }

} // namespace
} // namespace norla
