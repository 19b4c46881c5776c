#pragma once

#include "platform/CompletionHandler.h"
#include "platform/Result.h"

#include <optional>
#include <string>

namespace norla {

// The meeting recorder (`MeetingRecorder::shared()`) as the page's bridge and the meeting session use it.
// Installed through Seam<MeetingRecorderService>. Asynchronous operations complete once, on any thread; the synchronous
// ones block the caller while the recorder's queue runs them. Errors carry their Japanese descriptions.
class MeetingRecorderService {
public:
    virtual ~MeetingRecorderService() = default;
    virtual void start(CompletionHandler<void(Result<void>)> completion) = 0;
    virtual Result<void> pause() = 0;
    virtual Result<void> resume() = 0;
    // The absolute path of the finished recording's meeting.m4a.
    virtual void stop(CompletionHandler<void(Result<std::string>)> completion) = 0;
    // The absolute path of a finished left-over recording, or none.
    virtual void pending(CompletionHandler<void(Result<std::optional<std::string>>)> completion) = 0;
    virtual Result<void> discard(const std::string& path) = 0;
    // Whether a recording is open, paused or not.
    virtual bool isRecording() = 0;
};

} // namespace norla
