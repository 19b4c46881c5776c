#pragma once

#include "platform/AudioFileWriter.h"
#include "platform/AudioRecorder.h"
#include "platform/AudioSession.h"
#include "platform/BackgroundExecutor.h"
#include "platform/MediaComposition.h"
#include "platform/NoticePresenter.h"
#include "platform/NotificationCenter.h"
#include "platform/PassKey.h"
#include "platform/PlatformVersion.h"
#include "platform/RecordPermission.h"
#include "platform/SessionClaims.h"
#include "platform/TaskQueue.h"
#include "recording/MeetingRecorderService.h"
#include "recording/SystemAudioCapture.h"

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace norla {

// Records one meeting at a time: system audio and microphone through a SystemAudioCapture where the
// platform offers it, else the microphone alone in segments of at most 300 seconds. All state lives on the
// recorder's queue; the synchronous operations run there and block their caller, the asynchronous ones
// run on their own task and complete once, on any thread. No operation may be called from the queue.
class MeetingRecorder final : public MeetingRecorderService, public std::enable_shared_from_this<MeetingRecorder> {
public:
    // What the recorder needs from the platform, chosen by whoever makes the recorder.
    struct Dependencies {
        std::shared_ptr<TaskQueue> queue;
        // Runs the asynchronous operations (start, stop, pending), which block while they wait.
        std::shared_ptr<BackgroundExecutor> tasks;
        std::shared_ptr<RecordPermission> recordPermission;
        std::shared_ptr<PlatformVersion> platformVersion;
        std::shared_ptr<AudioSession> audioSession;
        std::shared_ptr<AudioRecorders> audioRecorders;
        // Shows the recorder's notices; none are shown without one.
        std::shared_ptr<NoticePresenter> noticePresenter;
        std::shared_ptr<MediaComposer> mediaComposer;
        std::shared_ptr<SessionClaims> sessionClaims;
        // Also the file handles and the writer that finished recordings are synchronised and mixed through.
        SystemAudioCapture::Dependencies capture;
        std::function<std::filesystem::path()> recordingsDirectory;
        std::function<Result<std::filesystem::path>()> createSessionDirectory;

        // The installed seams, the recordings directory of the application, and real queues labelled with
        // the application identifier + ".recorder" and ".capture".
        static Dependencies live();
    };

    // Seconds between segment rotations, on a grid counted from the session's start.
    static constexpr double rotationInterval = 300.0;
    // The settings every segment is recorded with.
    static constexpr AudioFileSettings segmentSettings { audioFormatMpeg4Aac, 16000.0, 1, 32000 };

    // The process's recorder, made on first use from the installed seams.
    static const std::shared_ptr<MeetingRecorder>& shared();
    // A recorder on the given dependencies, observing audio-session interruptions until it is released.
    static std::shared_ptr<MeetingRecorder> make(Dependencies dependencies);

    MeetingRecorder(PassKey<MeetingRecorder>, Dependencies dependencies);
    ~MeetingRecorder() override;
    MeetingRecorder(const MeetingRecorder&) = delete;
    MeetingRecorder& operator=(const MeetingRecorder&) = delete;

    void start(CompletionHandler<void(Result<void>)> completion) override;
    Result<void> pause() override;
    Result<void> resume() override;
    void stop(CompletionHandler<void(Result<std::string>)> completion) override;
    void pending(CompletionHandler<void(Result<std::optional<std::string>>)> completion) override;
    Result<void> discard(const std::string& path) override;
    bool isRecording() override;
    void handleInterruption(const Notification& notification);

    // The same operations on the calling task, which they block.
    Result<void> startAndWait();
    Result<std::filesystem::path> stopAndWait();
    Result<std::optional<std::filesystem::path>> pendingAndWait();

    // Merges the segments of `dir` into its meeting.m4a and removes them; an existing meeting.m4a is
    // returned untouched. Blocks the calling task.
    Result<std::filesystem::path> mergeSegments(const std::filesystem::path& dir);
    // The segment files of `dir` in recording order; empty when it cannot be listed.
    static std::vector<std::filesystem::path> listSegments(const std::filesystem::path& dir);

    // A snapshot of the state, read on the queue, for checks of the invariants.
    struct State {
        bool hasRecorder = false;
        std::optional<std::filesystem::path> sessionDir;
        std::int64_t segmentIndex = 0;
        bool paused = false;
        bool hasRotationTimer = false;
        bool hasCapture = false;
        bool finalizing = false;
    };
    State state();
    // The running capture, if any (read on the queue).
    std::shared_ptr<SystemAudioCapture> capture();

private:
    bool hasSystemAudio() const;
    Result<bool> attemptSystemAudio();
    Result<void> startMicrophoneSession(bool settlesStart);
    Result<void> startSegment();
    void startRotation();
    void rotate();
    void startNextSegment();
    void microphoneLost(const Error& error);
    void segmentFailed(std::int64_t segment, const Error& error);
    void showNotice(std::string_view title, std::string_view message) const;
    void interruption(std::uint64_t type);
    void settleStart();
    void waitForStartToSettle(std::uint64_t seenGeneration);
    Result<std::filesystem::path> finishCapture(const std::shared_ptr<SystemAudioCapture>& capture);
    // Whether `dir` belongs to the active session or to a merge in progress (on the queue).
    bool isBusy(const std::filesystem::path& dir) const;
    void releaseMerge(const std::filesystem::path& dir);
    // Claims a new session directory for the session about to record in it (on the queue).
    Result<std::filesystem::path> createClaimedSessionDirectory();
    std::filesystem::path recordingsDirectory() const;

    const Dependencies m_dependencies;
    const std::shared_ptr<TaskQueue> m_queue;
    ObserverToken m_interruptionObserver;

    // On the queue.
    std::unique_ptr<AudioRecorder> m_recorder;
    std::optional<std::filesystem::path> m_sessionDir;
    // Keeps other processes out of the session directory from its creation until its stop has finished.
    std::unique_ptr<SessionClaim> m_sessionClaim;
    std::int64_t m_segmentIndex = 0;
    bool m_paused = false;
    Timer m_rotationTimer;
    std::shared_ptr<SystemAudioCapture> m_capture;
    bool m_finalizing = false;
    // Starts between the capture attempt and the session they end in; a stop waits for them.
    int m_startsInProgress = 0;
    // Whether the active session records through a capture (also while it starts and finalises).
    bool m_systemAudioSession = false;
    // Directories whose segments or raw tracks are being turned into meeting.m4a, in normal form.
    std::set<std::filesystem::path> m_merging;

    // Off the queue: wakes stops that wait for a start to settle.
    std::mutex m_settleMutex;
    std::condition_variable m_settled;
    std::uint64_t m_settleGeneration = 0;
};

} // namespace norla
