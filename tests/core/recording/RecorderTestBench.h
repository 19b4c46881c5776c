#pragma once

#include "platform/ApplicationSupport.h"
#include "platform/PosixFileHandles.h"
#include "platform/Seams.h"
#include "platform/UuidGenerator.h"
#include "recording/MeetingRecorder.h"
#include "recording/RecordingFiles.h"

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

#include <cstdio>
#include <memory>
#include <mutex>

namespace norla::test {

class BenchApplicationSupport final : public ApplicationSupport {
public:
    explicit BenchApplicationSupport(std::filesystem::path directory)
        : m_directory(std::move(directory))
    {
    }
    std::filesystem::path directory() const override { return m_directory; }

private:
    std::filesystem::path m_directory;
};

// UUIDs in upper case, numbered, so that session directories sort in the order they were made.
class SortableSessionUuids final : public UuidGenerator {
public:
    std::string uuidString() override
    {
        std::lock_guard lock(m_mutex);
        char text[40];
        std::snprintf(text, sizeof text, "ABCDEF00-0000-4000-8000-%012d", ++m_count);
        return text;
    }

private:
    std::mutex m_mutex;
    int m_count = 0;
};

// Everything a recorder runs on, faked, with the recordings directory in a temporary directory. Queues run
// in virtual time unless the test asks for real ones.
struct RecorderTestBench {
    enum class Form { systemAudio, microphoneOnly };

    explicit RecorderTestBench(Form form = Form::microphoneOnly)
        : version(form == Form::systemAudio ? std::make_shared<FakePlatformVersion>(18, 2)
                                            : std::make_shared<FakePlatformVersion>(18, 1))
    {
        Seam<ApplicationSupport>::install(std::make_shared<BenchApplicationSupport>(temporary.path() / "support"));
        Seam<UuidGenerator>::install(std::make_shared<SortableSessionUuids>());
        Seam<FileHandles>::install(std::make_shared<PosixFileHandles>());
        Seam<AudioFileWriter>::install(writer);
    }
    ~RecorderTestBench()
    {
        recorder.reset();
        Seam<ApplicationSupport>::install(nullptr);
        Seam<UuidGenerator>::install(nullptr);
        Seam<FileHandles>::install(nullptr);
        Seam<AudioFileWriter>::install(nullptr);
    }
    RecorderTestBench(const RecorderTestBench&) = delete;
    RecorderTestBench& operator=(const RecorderTestBench&) = delete;

    MeetingRecorderDependencies dependencies()
    {
        MeetingRecorderDependencies made;
        made.queue = queue;
        made.tasks = tasks;
        made.recordPermission = permission;
        made.platformVersion = version;
        made.audioSession = audioSession;
        made.audioRecorders = audioRecorders;
        made.noticePresenter = notices;
        made.mediaComposer = composer;
        made.sessionClaims = claims;
        made.capture.screenCapture = screenCapture;
        made.capture.converters = converters;
        made.capture.makeQueue = [this]() -> std::shared_ptr<TaskQueue> {
            if (makeCaptureQueue)
                return makeCaptureQueue();
            return captureQueue;
        };
        made.recordingsDirectory = [] { return RecordingFiles::recordingsDirectory(); };
        made.createSessionDirectory = [] { return RecordingFiles::createSessionDirectory(); };
        return made;
    }
    MeetingRecorder& make()
    {
        recorder = MeetingRecorder::create(dependencies());
        return *recorder;
    }

    std::filesystem::path recordings() const { return temporary.path() / "support" / "recordings"; }
    std::filesystem::path session(int number) const
    {
        char name[40];
        std::snprintf(name, sizeof name, "abcdef00-0000-4000-8000-%012d", number);
        return recordings() / name;
    }

    TestEnvironment environment;
    TemporaryDirectory temporary;
    std::shared_ptr<TaskQueue> queue = std::make_shared<FakeQueue>("recorder", environment.sharedClock());
    std::shared_ptr<FakeQueue> captureQueue = std::make_shared<FakeQueue>("capture", environment.sharedClock());
    std::function<std::shared_ptr<TaskQueue>()> makeCaptureQueue;
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
    std::shared_ptr<FakeAudioFileWriter> writer = std::make_shared<FakeAudioFileWriter>();
    std::shared_ptr<MeetingRecorder> recorder;

    FakeQueue& fakeQueue() { return static_cast<FakeQueue&>(*queue); }
};

} // namespace norla::test
