// Ending a session, merging segments, finishing left-over recordings and discarding finished ones.
#include "recording/MeetingRecorder.h"

#include "platform/Await.h"
#include "platform/SystemLog.h"
#include "recording/CaptureError.h"
#include "recording/PathForm.h"
#include "recording/RecorderError.h"
#include "recording/RecordingFiles.h"

#include <algorithm>
#include <system_error>

namespace norla {

namespace {

    void removeQuietly(const std::filesystem::path& path)
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }

    bool fileExists(const std::filesystem::path& path)
    {
        std::error_code ignored;
        return std::filesystem::exists(path, ignored);
    }

    // Whether something may be at `path`: a look that fails does not count as "nothing there".
    bool mayExist(const std::filesystem::path& path)
    {
        std::error_code error;
        return std::filesystem::exists(path, error) || error;
    }

    bool canList(const std::filesystem::path& dir)
    {
        std::error_code error;
        for (std::filesystem::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) { }
        return !error;
    }

    std::vector<std::filesystem::path> sortedEntries(const std::filesystem::path& dir)
    {
        std::vector<std::filesystem::path> entries;
        std::error_code error;
        for (std::filesystem::directory_iterator it(dir, error), end; !error && it != end; it.increment(error))
            entries.push_back(it->path());
        std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.filename().string() < b.filename().string(); });
        return entries;
    }

} // namespace

void MeetingRecorder::stop(CompletionHandler<void(Result<std::string>)> completion)
{
    m_dependencies.tasks->run([self = shared_from_this(), completion = std::move(completion)]() mutable {
        auto stopped = self->stopAndWait();
        if (stopped)
            completion(stopped.value().string());
        else
            completion(stopped.error());
    });
}

Result<std::filesystem::path> MeetingRecorder::stopAndWait()
{
    enum class Plan { waitForStart, capture, microphone, notRecording };
    for (;;) {
        std::shared_ptr<SystemAudioCapture> capture;
        std::filesystem::path dir;
        std::unique_ptr<SessionClaim> claim;
        std::uint64_t generation = 0;
        auto plan = m_queue->sync([&] {
            if (hasSystemAudio() && m_capture) {
                capture = std::exchange(m_capture, nullptr);
                m_finalizing = true;
                return Plan::capture;
            }
            // A session whose capture is still starting, or falling back to the microphone (when no directory
            // is set for a moment), is stopped once that start has settled.
            if (m_startsInProgress > 0 && !m_finalizing) {
                std::lock_guard lock(m_settleMutex);
                generation = m_settleGeneration;
                return Plan::waitForStart;
            }
            if (!m_sessionDir || m_finalizing)
                return Plan::notRecording;
            m_rotationTimer.cancel();
            if (m_recorder) {
                m_recorder->stop();
                m_recorder.reset();
            }
            dir = *std::exchange(m_sessionDir, std::nullopt);
            // The claim stays with the directory until its segments are merged.
            claim = std::move(m_sessionClaim);
            m_paused = false;
            m_systemAudioSession = false;
            m_merging.insert(resolvedPathForm(dir));
            (void)m_dependencies.audioSession->setActive(
                false, AudioSessionSetActiveOptions::notifyOthersOnDeactivation);
            return Plan::microphone;
        });
        switch (plan) {
        case Plan::notRecording:
            return recorderError(RecorderError::notRecording);
        case Plan::waitForStart:
            waitForStartToSettle(generation);
            continue;
        case Plan::capture:
            return finishCapture(capture);
        case Plan::microphone: {
            auto merged = mergeSegments(dir);
            releaseMerge(dir);
            return merged;
        }
        }
    }
}

Result<std::filesystem::path> MeetingRecorder::finishCapture(const std::shared_ptr<SystemAudioCapture>& capture)
{
    auto stopped = capture->stop();
    m_queue->sync([&] {
        m_sessionDir.reset();
        m_sessionClaim.reset();
        m_finalizing = false;
        m_systemAudioSession = false;
    });
    return stopped;
}

void MeetingRecorder::releaseMerge(const std::filesystem::path& dir)
{
    m_queue->sync([&] { m_merging.erase(resolvedPathForm(dir)); });
}

bool MeetingRecorder::isBusy(const std::filesystem::path& dir) const
{
    auto form = resolvedPathForm(dir);
    return (m_sessionDir && resolvedPathForm(*m_sessionDir) == form) || m_merging.contains(form);
}

std::vector<std::filesystem::path> MeetingRecorder::listSegments(const std::filesystem::path& dir)
{
    std::vector<std::filesystem::path> segments;
    for (auto& entry : sortedEntries(dir)) {
        if (entry.filename().string().starts_with("segment-") && entry.extension() == ".m4a")
            segments.push_back(entry);
    }
    return segments;
}

Result<std::filesystem::path> MeetingRecorder::mergeSegments(const std::filesystem::path& dir)
{
    auto output = dir / RecordingFiles::meetingName;
    if (fileExists(output))
        return output;

    auto& composer = *m_dependencies.mediaComposer;
    auto composition = composer.makeComposition();
    auto track = composition ? composition->addAudioTrack() : nullptr;
    if (!track)
        return recorderError(RecorderError::exportFailed, ExportFailure::cannotAddTrack);

    auto cursor = MediaTime::zero();
    for (auto& segment : listSegments(dir)) {
        auto asset = composer.makeAsset(segment);
        if (!asset)
            continue;
        auto tracks = awaitCompletion<Result<std::vector<std::shared_ptr<AssetTrack>>>>(
            [&](auto completion) { asset->loadAudioTracks(std::move(completion)); });
        if (!tracks || tracks.value().empty() || !tracks.value().front())
            continue;
        auto duration
            = awaitCompletion<Result<MediaTime>>([&](auto completion) { asset->loadDuration(std::move(completion)); });
        if (!duration || !(duration.value() > MediaTime::zero()))
            continue;
        auto inserted = track->insertTimeRange(
            MediaTimeRange { MediaTime::zero(), duration.value() }, *tracks.value().front(), cursor);
        if (!inserted)
            return inserted.error();
        cursor = cursor + duration.value();
    }
    if (!(cursor > MediaTime::zero()))
        return recorderError(RecorderError::exportFailed, ExportFailure::emptyRecording);

    auto exportSession = composer.makeExportSession(composition, ExportPreset::appleM4A);
    if (!exportSession)
        return recorderError(RecorderError::exportFailed, ExportFailure::cannotPrepareExport);
    auto exported = awaitCompletion<Result<void>>([&](auto completion) {
        exportSession->exportAsynchronously(output, ExportFileType::appleM4A, std::move(completion));
    });
    if (!exported)
        return exported.error();

    // The segments go only once meeting.m4a and its name are on the disk; otherwise they stay beside it.
    if (!RecordingFiles::synchronize(output, *m_dependencies.capture.fileHandles)
        || !RecordingFiles::synchronize(dir, *m_dependencies.capture.fileHandles))
        return output;
    for (auto& segment : listSegments(dir)) {
        std::error_code ignored;
        std::filesystem::remove(segment, ignored);
    }
    return output;
}

void MeetingRecorder::pending(CompletionHandler<void(Result<std::optional<std::string>>)> completion)
{
    m_dependencies.tasks->run([self = shared_from_this(), completion = std::move(completion)]() mutable {
        auto found = self->pendingAndWait();
        if (!found)
            completion(found.error());
        else if (found.value())
            completion(std::optional<std::string>(found.value()->string()));
        else
            completion(std::optional<std::string>());
    });
}

Result<std::optional<std::filesystem::path>> MeetingRecorder::pendingAndWait()
{
    // A session whose segments cannot be merged must not hide the ones after it: its error is reported only
    // when no other recording was found, and the session stays as it is (norla-rec list shows it).
    std::optional<Error> firstMergeError;
    for (auto& entry : sortedEntries(recordingsDirectory())) {
        // Claiming the entry keeps the active session, a stop's merge and other pending() calls out of it.
        bool claimed = m_queue->sync([&] {
            if (isBusy(entry))
                return false;
            m_merging.insert(resolvedPathForm(entry));
            return true;
        });
        if (!claimed)
            continue;
        struct Release {
            MeetingRecorder& recorder;
            const std::filesystem::path& dir;
            ~Release() { recorder.releaseMerge(dir); }
        } release { *this, entry };

        std::error_code error;
        if (std::filesystem::is_symlink(entry, error) || !std::filesystem::is_directory(entry, error)) {
            // Nothing of a recording lies outside a session directory; a link's target is left alone.
            removeQuietly(entry);
            continue;
        }
        // Other processes (a second instance, norla-rec) honour the same claim: a session that one of them
        // records or finishes is left to it, untouched.
        auto sessionClaim = m_dependencies.sessionClaims->claim(entry);
        if (!sessionClaim) {
            if (!sessionClaim.error().is(RecorderError::sessionInUse))
                logLine("MeetingRecorder: " + sessionClaim.error().description());
            continue;
        }
        if (auto meeting = entry / RecordingFiles::meetingName; fileExists(meeting))
            return std::optional(meeting);
        // Raw tracks are mixed whatever the platform version says now: a platform that answers differently
        // from one run to the next (a sound server without a monitor) must not make them look unrecoverable.
        if (mayExist(entry / RecordingFiles::systemTrackName) || mayExist(entry / RecordingFiles::micTrackName)) {
            auto mixed = SystemAudioCapture::mixdown(entry, m_dependencies.capture);
            if (mixed)
                return std::optional(mixed.value());
            if (mixed.error().is(CaptureError::empty))
                (void)RecordingFiles::removeSessionDirectory(entry);
            else
                logLine("MeetingRecorder: 録音をまとめ直せません（raw は残す）: " + mixed.error().description());
            continue;
        }
        if (!listSegments(entry).empty()) {
            auto merged = mergeSegments(entry);
            if (merged)
                return std::optional(merged.value());
            logLine("MeetingRecorder: " + entry.filename().string() + ": " + merged.error().description());
            if (!firstMergeError)
                firstMergeError = merged.error();
            continue;
        }
        // Only a directory seen whole is known to hold nothing; one that cannot be read stays.
        if (canList(entry))
            (void)RecordingFiles::removeSessionDirectory(entry);
    }
    if (firstMergeError)
        return *firstMergeError;
    return std::optional<std::filesystem::path>();
}

Result<void> MeetingRecorder::discard(const std::string& path)
{
    auto target = resolvedPathForm(path);
    auto root = resolvedPathForm(recordingsDirectory());
    auto dir = target.parent_path();
    bool allowed = m_queue->sync([&] {
        return target.filename() == RecordingFiles::meetingName && dir.parent_path() == root && dir != root
            && !isBusy(dir);
    });
    if (!allowed)
        return {};
    std::error_code error;
    if (!std::filesystem::exists(dir, error) && !error)
        return {};
    // A session that another process records or finishes is not removed under it.
    auto claim = m_dependencies.sessionClaims->claim(dir);
    if (!claim)
        return claim.error();
    return RecordingFiles::removeSessionDirectory(dir);
}

} // namespace norla
