#include "platform/ApplicationSupport.h"
#include "platform/Await.h"
#include "platform/Seams.h"
#include "platform/UuidGenerator.h"
#include "recording/LinuxRecordingSeams.h"
#include "recording/MeetingRecorder.h"

#include "FakeNoticePresenter.h"
#include "TemporaryDirectory.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>

namespace norla {
namespace {

    class TemporarySupport final : public ApplicationSupport {
    public:
        explicit TemporarySupport(std::filesystem::path directory)
            : m_directory(std::move(directory))
        {
        }
        std::filesystem::path directory() const override { return m_directory; }

    private:
        std::filesystem::path m_directory;
    };

    class OneUuid final : public UuidGenerator {
    public:
        std::string uuidString() override { return "0F0E0D0C-0000-4000-8000-00000000000" + std::to_string(m_next++); }

    private:
        int m_next = 1;
    };

    // The process's recorder on Linux today: the capture and the microphone are not built, so a start
    // falls back, says why, and leaves nothing behind.
    TEST(LinuxRecordingSeams, TheSharedRecorderStartsOnThemAndReportsWhatIsNotBuilt)
    {
        test::TestEnvironment environment;
        test::TemporaryDirectory temporary;
        installLinuxRecordingSeams();
        auto notices = std::make_shared<test::FakeNoticePresenter>();
        Seam<NoticePresenter>::install(notices);
        Seam<ApplicationSupport>::install(std::make_shared<TemporarySupport>(temporary.path()));
        Seam<UuidGenerator>::install(std::make_shared<OneUuid>());

        auto& recorder = MeetingRecorder::shared();
        auto started = awaitCompletion<Result<void>>([&](auto completion) { recorder->start(std::move(completion)); });
        ASSERT_FALSE(started);
        EXPECT_EQ(started.error().description(), "Microphone recording through PulseAudio is not built yet.");
        EXPECT_TRUE(environment.log().contains(
            "SystemAudioCapture unavailable, falling back to mic: 画面収録が許可されていません: System audio capture "
            "through PulseAudio is not built yet."));
        environment.main().runUntilIdle();
        EXPECT_EQ(notices->notices().size(), 1u);
        EXPECT_FALSE(recorder->isRecording());
        std::error_code error;
        EXPECT_TRUE(std::filesystem::is_empty(temporary.path() / "recordings", error));

        Seam<ApplicationSupport>::install(nullptr);
        Seam<UuidGenerator>::install(nullptr);
        Seam<NoticePresenter>::install(nullptr);
    }

} // namespace
} // namespace norla
