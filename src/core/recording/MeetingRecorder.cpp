#include "recording/MeetingRecorder.h"

#include "app/BuildConfiguration.h"
#include "platform/Await.h"
#include "platform/MainExecutor.h"
#include "platform/Seams.h"
#include "platform/SystemLog.h"
#include "platform/TaskQueues.h"
#include "recording/RecorderError.h"
#include "recording/RecordingFiles.h"
#include "web/OfficeNotifications.h"

#include <system_error>

namespace norla {

namespace {

    constexpr std::string_view fallbackNoticeTitle = "マイクだけで録音しています";
    constexpr std::string_view fallbackNoticeMessage
        = "画面収録が許可されていないため、Zoom や Meet の相手の声は入りません。相手の声も録るには、システム設定 "
          "→「プライバシーとセキュリティ」→「画面とシステムオーディオ録音」で "
          "Vantorelをオンにし、アプリを開き直してから録り直してください。";

    constexpr std::string_view microphoneSwitchedTitle = "別のマイクで録音しています";
    constexpr std::string_view microphoneSwitchedMessage
        = "使っていたマイクが使えなくなったため、いま使えるマイクで録音を続けています。";
    constexpr std::string_view microphoneLostTitle = "マイクが使えなくなりました";
    constexpr std::string_view microphoneLostMessage
        = "録音中にマイクが見つからなくなったため、いまは何も録音されていません。ここまでの録音は残っています。"
          "録音を停止して保存してください。";

    // The application's window installs its notice presenter after the recorder may have been made: the
    // presenter is looked up when a notice is shown.
    class InstalledNoticePresenter final : public NoticePresenter {
    public:
        void showNotice(const std::string& title, const std::string& message) override
        {
            if (auto presenter = Seam<NoticePresenter>::find())
                presenter->showNotice(title, message);
        }
    };

    constexpr std::uint32_t sessionCategoryOptions = AudioSessionCategoryOptions::mixWithOthers
        | AudioSessionCategoryOptions::allowBluetooth | AudioSessionCategoryOptions::defaultToSpeaker;

} // namespace

MeetingRecorder::Dependencies MeetingRecorder::Dependencies::live()
{
    Dependencies dependencies;
    dependencies.queue = makeSerialQueue(std::string(build::applicationIdentifier) + ".recorder");
    dependencies.tasks = std::make_shared<ThreadBackgroundExecutor>();
    dependencies.recordPermission = seam<RecordPermission>();
    dependencies.platformVersion = seam<PlatformVersion>();
    dependencies.audioSession = seam<AudioSession>();
    dependencies.audioRecorders = seam<AudioRecorders>();
    dependencies.noticePresenter = std::make_shared<InstalledNoticePresenter>();
    dependencies.mediaComposer = seam<MediaComposer>();
    dependencies.sessionClaims = seam<SessionClaims>();
    dependencies.capture = SystemAudioCapture::Dependencies::live();
    dependencies.recordingsDirectory = [] { return RecordingFiles::recordingsDirectory(); };
    dependencies.createSessionDirectory = [] { return RecordingFiles::createSessionDirectory(); };
    return dependencies;
}

const std::shared_ptr<MeetingRecorder>& MeetingRecorder::shared()
{
    static const std::shared_ptr<MeetingRecorder> instance = make(Dependencies::live());
    return instance;
}

std::shared_ptr<MeetingRecorder> MeetingRecorder::make(Dependencies dependencies)
{
    auto recorder = std::make_shared<MeetingRecorder>(PassKey<MeetingRecorder> {}, std::move(dependencies));
    std::weak_ptr<MeetingRecorder> weak = recorder;
    recorder->m_interruptionObserver = NotificationCenter::defaultCenter().addObserver(
        std::string(audioSessionInterruptionNotification), [weak](const Notification& notification) {
            if (auto self = weak.lock())
                self->handleInterruption(notification);
        });
    return recorder;
}

MeetingRecorder::MeetingRecorder(PassKey<MeetingRecorder>, Dependencies dependencies)
    : m_dependencies(std::move(dependencies))
    , m_queue(m_dependencies.queue)
{
}

MeetingRecorder::~MeetingRecorder()
{
    if (m_interruptionObserver)
        NotificationCenter::defaultCenter().removeObserver(m_interruptionObserver);
}

bool MeetingRecorder::hasSystemAudio() const
{
    return m_dependencies.platformVersion->isAtLeast(systemAudioMajorVersion, systemAudioMinorVersion);
}

std::filesystem::path MeetingRecorder::recordingsDirectory() const { return m_dependencies.recordingsDirectory(); }

Result<std::filesystem::path> MeetingRecorder::createClaimedSessionDirectory()
{
    auto created = m_dependencies.createSessionDirectory();
    if (!created)
        return created.error();
    auto claim = m_dependencies.sessionClaims->claim(created.value());
    // Fails only when another process's pending() found the new directory empty and took it first; the
    // directory is left to that process.
    if (!claim)
        return claim.error();
    m_sessionClaim = std::move(claim).value();
    return created;
}

void MeetingRecorder::start(CompletionHandler<void(Result<void>)> completion)
{
    m_dependencies.tasks->run([self = shared_from_this(), completion = std::move(completion)]() mutable {
        completion(self->startAndWait());
    });
}

Result<void> MeetingRecorder::startAndWait()
{
    auto permission = awaitCompletion<bool>(
        [&](auto completion) { m_dependencies.recordPermission->requestRecordPermission(std::move(completion)); });
    if (!permission)
        return recorderError(RecorderError::permissionDenied);
    if (hasSystemAudio()) {
        auto attempt = attemptSystemAudio();
        if (!attempt)
            return attempt.error();
        if (attempt.value())
            return {};
        return startMicrophoneSession(true);
    }
    return startMicrophoneSession(false);
}

// True when the capture runs, false when the session falls back to the microphone.
Result<bool> MeetingRecorder::attemptSystemAudio()
{
    auto dir = m_queue->sync([&]() -> Result<std::filesystem::path> {
        if (m_sessionDir)
            return recorderError(RecorderError::alreadyRecording);
        auto created = createClaimedSessionDirectory();
        if (!created)
            return created.error();
        m_sessionDir = created.value();
        m_systemAudioSession = true;
        ++m_startsInProgress;
        return created;
    });
    if (!dir)
        return dir.error();

    auto capture = SystemAudioCapture::start(dir.value(), m_dependencies.capture);
    if (capture) {
        m_queue->sync([&] {
            m_capture = std::move(capture).value();
            --m_startsInProgress;
        });
        settleStart();
        return true;
    }

    m_queue->sync([&] {
        m_sessionDir.reset();
        m_systemAudioSession = false;
        // Removed while still claimed, so that no other process meets it half gone.
        (void)RecordingFiles::removeSessionDirectory(dir.value());
        m_sessionClaim.reset();
    });
    logLine("SystemAudioCapture unavailable, falling back to mic: " + capture.error().description());
    showNotice(fallbackNoticeTitle, fallbackNoticeMessage);
    return false;
}

void MeetingRecorder::showNotice(std::string_view title, std::string_view message) const
{
    if (auto presenter = m_dependencies.noticePresenter) {
        postToMain([presenter, title = std::string(title), message = std::string(message)] {
            presenter->showNotice(title, message);
        });
    }
}

Result<void> MeetingRecorder::startMicrophoneSession(bool settlesStart)
{
    auto result = m_queue->sync([&]() -> Result<void> {
        struct Settle {
            MeetingRecorder& recorder;
            bool active;
            ~Settle()
            {
                if (active)
                    --recorder.m_startsInProgress;
            }
        } settle { *this, settlesStart };

        if (m_sessionDir)
            return recorderError(RecorderError::alreadyRecording);
        auto& session = *m_dependencies.audioSession;
        if (auto set = session.setCategory(
                AudioSessionCategory::playAndRecord, AudioSessionMode::spokenAudio, sessionCategoryOptions);
            !set)
            return set;
        if (auto activated = session.setActive(true, 0); !activated)
            return activated;
        auto dir = createClaimedSessionDirectory();
        if (!dir)
            return dir.error();
        m_sessionDir = dir.value();
        m_segmentIndex = 0;
        m_paused = false;
        if (auto segment = startSegment(); !segment) {
            m_recorder.reset();
            m_sessionDir.reset();
            (void)RecordingFiles::removeSessionDirectory(dir.value());
            m_sessionClaim.reset();
            (void)session.setActive(false, AudioSessionSetActiveOptions::notifyOthersOnDeactivation);
            return segment;
        }
        startRotation();
        return {};
    });
    if (settlesStart)
        settleStart();
    return result;
}

Result<void> MeetingRecorder::startSegment()
{
    if (!m_sessionDir)
        return {};
    ++m_segmentIndex;
    auto file = *m_sessionDir / RecordingFiles::segmentFileName(static_cast<int>(m_segmentIndex));
    auto recorder = m_dependencies.audioRecorders->makeRecorder(file, segmentSettings);
    if (!recorder)
        return recorder.error();
    recorder.value()->setFailureHandler([weak = weak_from_this(), segment = m_segmentIndex](const Error& error) {
        if (auto self = weak.lock()) {
            self->m_queue->async([weak, segment, error] {
                if (auto again = weak.lock())
                    again->segmentFailed(segment, error);
            });
        }
    });
    if (!recorder.value()->record())
        return recorderError(RecorderError::exportFailed, ExportFailure::cannotStartRecording);
    m_recorder = std::move(recorder).value();
    return {};
}

void MeetingRecorder::startRotation()
{
    std::weak_ptr<MeetingRecorder> weak = weak_from_this();
    m_rotationTimer = m_queue->scheduleRepeating(seconds(rotationInterval), seconds(rotationInterval), [weak] {
        if (auto self = weak.lock())
            self->rotate();
    });
}

void MeetingRecorder::rotate()
{
    if (!m_recorder || m_paused)
        return;
    m_recorder->stop();
    m_recorder.reset();
    startNextSegment();
}

// A session whose next segment cannot start records nothing from then on: the user is told, as when the
// microphone goes away.
void MeetingRecorder::startNextSegment()
{
    if (auto started = startSegment(); !started) {
        logLine("MeetingRecorder: " + started.error().description());
        microphoneLost(started.error());
    }
}

void MeetingRecorder::microphoneLost(const Error& error)
{
    showNotice(microphoneLostTitle, microphoneLostMessage);
    NotificationCenter::defaultCenter().post(std::string(officeCaptureFailed), error.description());
}

// The segment's microphone went away. A microphone the platform offers now takes over in a new segment;
// without one the session ends as a failed capture does. Either way the user is told, rather than the
// session recording nothing until the next rotation.
void MeetingRecorder::segmentFailed(std::int64_t segment, const Error& error)
{
    if (!m_recorder || segment != m_segmentIndex)
        return; // that segment was already over
    logLine("MeetingRecorder: " + error.description());
    m_recorder->stop();
    m_recorder.reset();
    if (startSegment()) {
        showNotice(microphoneSwitchedTitle, microphoneSwitchedMessage);
        return;
    }
    microphoneLost(error);
}

Result<void> MeetingRecorder::pause()
{
    if (hasSystemAudio()) {
        if (auto capture = this->capture()) {
            capture->queue().sync([&] { capture->pause(); });
            return {};
        }
    }
    return m_queue->sync([&]() -> Result<void> {
        if (!m_recorder)
            return recorderError(RecorderError::notRecording);
        m_recorder->stop();
        m_recorder.reset();
        m_paused = true;
        return {};
    });
}

Result<void> MeetingRecorder::resume()
{
    if (hasSystemAudio()) {
        if (auto capture = this->capture()) {
            capture->queue().sync([&] { capture->resume(); });
            return {};
        }
    }
    return m_queue->sync([&]() -> Result<void> {
        if (!m_sessionDir)
            return recorderError(RecorderError::notRecording);
        if (!m_paused)
            return {};
        m_paused = false;
        if (auto activated = m_dependencies.audioSession->setActive(true, 0); !activated)
            return activated;
        return startSegment();
    });
}

void MeetingRecorder::handleInterruption(const Notification& notification)
{
    auto entry = notification.userInfo.find(audioSessionInterruptionTypeKey);
    if (!entry || entry->type() != Value::Type::integer)
        return;
    auto type = entry->asInteger();
    if (!type || *type < 0)
        return;
    std::weak_ptr<MeetingRecorder> weak = weak_from_this();
    m_queue->async([weak, type = static_cast<std::uint64_t>(*type)] {
        if (auto self = weak.lock())
            self->interruption(type);
    });
}

void MeetingRecorder::interruption(std::uint64_t type)
{
    // A capture is neither paused nor stopped by interruptions; a microphone segment must not be started
    // in its directory either, so interruptions act on microphone sessions only.
    if (!m_sessionDir || m_paused || m_systemAudioSession)
        return;
    if (type == static_cast<std::uint64_t>(AudioSessionInterruptionType::began)) {
        if (m_recorder)
            m_recorder->stop();
        m_recorder.reset();
    } else if (type == static_cast<std::uint64_t>(AudioSessionInterruptionType::ended)) {
        (void)m_dependencies.audioSession->setActive(true, 0);
        if (!m_recorder)
            startNextSegment();
    }
}

bool MeetingRecorder::isRecording()
{
    return m_queue->sync([&] { return m_sessionDir.has_value(); });
}

std::shared_ptr<SystemAudioCapture> MeetingRecorder::capture()
{
    return m_queue->sync([&] { return m_capture; });
}

MeetingRecorder::State MeetingRecorder::state()
{
    return m_queue->sync([&] {
        return State { m_recorder != nullptr, m_sessionDir, m_segmentIndex, m_paused, m_rotationTimer.isActive(),
            m_capture != nullptr, m_finalizing };
    });
}

void MeetingRecorder::settleStart()
{
    std::lock_guard lock(m_settleMutex);
    ++m_settleGeneration;
    m_settled.notify_all();
}

void MeetingRecorder::waitForStartToSettle(std::uint64_t seenGeneration)
{
    std::unique_lock lock(m_settleMutex);
    m_settled.wait(lock, [&] { return m_settleGeneration != seenGeneration; });
}

} // namespace norla
