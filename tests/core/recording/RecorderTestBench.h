#pragma once

#include "platform/NotificationCenter.h"
#include "platform/PosixFileHandles.h"
#include "recording/MeetingRecorder.h"
#include "web/OfficeNotifications.h"

#include "FakeAudioConverters.h"
#include "FakeAudioFileWriter.h"
#include "FakeAudioRecorders.h"
#include "FakeAudioSession.h"
#include "FakeMediaComposer.h"
#include "FakeNoticePresenter.h"
#include "FakePlatformVersion.h"
#include "FakeQueue.h"
#include "FakeRecordPermission.h"
#include "FakeScreenCapture.h"
#include "FakeSessionClaims.h"
#include "InlineBackgroundExecutor.h"
#include "TemporaryDirectory.h"
#include "TestEnvironment.h"
#include "TrackFiles.h"

#include <atomic>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace norla::test {

// Everything a recorder runs on, faked, with the recordings directory in a temporary directory. Queues run
// in virtual time unless the test puts real ones in; the recorder, made last, goes first. Session directories are
// session-1, session-2, ...
struct RecorderTestBench {
    enum class Form { systemAudio, microphoneOnly };

    explicit RecorderTestBench(Form form = Form::microphoneOnly)
        : version(std::make_shared<FakePlatformVersion>(18, form == Form::systemAudio ? 2 : 1))
    {
    }

    MeetingRecorder::Dependencies dependencies()
    {
        MeetingRecorder::Dependencies made { queue, tasks, permission, version, audioSession, audioRecorders, notices,
            composer, claims, { screenCapture, converters, makeCaptureQueue, fileHandles, writer }, nullptr, nullptr };
        made.recordingsDirectory = [this] { return recordings(); };
        made.createSessionDirectory = [this]() -> Result<std::filesystem::path> {
            auto dir = session(++sessions);
            std::filesystem::create_directories(dir);
            return dir;
        };
        return made;
    }
    MeetingRecorder& make()
    {
        recorder = MeetingRecorder::make(dependencies());
        return *recorder;
    }

    std::filesystem::path recordings() const { return temporary.path() / "recordings"; }
    std::filesystem::path session(int number) const { return recordings() / ("session-" + std::to_string(number)); }
    FakeQueue& fakeQueue() { return static_cast<FakeQueue&>(*queue); }
    // Lets the recorder's queue and the main thread run what they were given.
    void settle()
    {
        environment.main().runUntilIdle();
        fakeQueue().runUntilIdle();
        environment.main().runUntilIdle();
    }

    TestEnvironment environment;
    TemporaryDirectory temporary;
    std::atomic<int> sessions { 0 };
    std::shared_ptr<TaskQueue> queue = std::make_shared<FakeQueue>("recorder", environment.sharedClock());
    std::function<std::shared_ptr<TaskQueue>()> makeCaptureQueue
        = [this] { return std::make_shared<FakeQueue>("capture", environment.sharedClock()); };
    std::shared_ptr<BackgroundExecutor> tasks = std::make_shared<InlineBackgroundExecutor>();
    std::shared_ptr<FakeRecordPermission> permission = std::make_shared<FakeRecordPermission>();
    std::shared_ptr<FakePlatformVersion> version;
    std::shared_ptr<FakeAudioSession> audioSession = std::make_shared<FakeAudioSession>();
    std::shared_ptr<FakeAudioRecorders> audioRecorders = std::make_shared<FakeAudioRecorders>();
    std::shared_ptr<FakeNoticePresenter> notices = std::make_shared<FakeNoticePresenter>();
    std::shared_ptr<FakeMediaComposer> composer = std::make_shared<FakeMediaComposer>();
    std::shared_ptr<FakeScreenCapture> screenCapture = std::make_shared<FakeScreenCapture>();
    std::shared_ptr<FakeSessionClaims> claims = std::make_shared<FakeSessionClaims>();
    std::shared_ptr<FakeAudioConverters> converters = std::make_shared<FakeAudioConverters>();
    std::shared_ptr<FileHandles> fileHandles = std::make_shared<PosixFileHandles>();
    std::shared_ptr<FakeAudioFileWriter> writer = std::make_shared<FakeAudioFileWriter>();
    std::shared_ptr<MeetingRecorder> recorder;
};

// A session directory left by an earlier run, with the given files and contents.
inline void makeSession(const std::filesystem::path& dir, const std::vector<std::pair<std::string, std::string>>& files)
{
    std::filesystem::create_directories(dir);
    for (const auto& [name, content] : files)
        writeBytes(dir / name, content);
}

inline std::vector<std::string> segmentNames(const std::filesystem::path& dir)
{
    std::vector<std::string> names;
    for (const auto& segment : MeetingRecorder::listSegments(dir))
        names.push_back(segment.filename().string());
    return names;
}

// Collects the capture failures posted while it lives.
struct CaptureFailures {
    ~CaptureFailures() { NotificationCenter::defaultCenter().removeObserver(observer); }

    std::vector<std::string> texts;
    ObserverToken observer = NotificationCenter::defaultCenter().addObserver(std::string(officeCaptureFailed),
        [this](const Notification& notification) { texts.push_back(std::any_cast<std::string>(notification.object)); });
};

} // namespace norla::test
