#pragma once

#include "platform/CompletionHandler.h"
#include "platform/Result.h"

#include <string>

namespace norla {

// What the meeting session controller uses of the meeting recorder. Asynchronous operations complete
// once, on any thread; the synchronous ones block the caller while the recorder's queue runs them, after
// everything queued before. Errors carry their Japanese descriptions.
class MeetingSessionRecorder {
public:
    virtual ~MeetingSessionRecorder() = default;
    virtual void start(CompletionHandler<void(Result<void>)> completion) = 0;
    virtual Result<void> pause() = 0;
    virtual Result<void> resume() = 0;
    // Yields the finished recording's path, which the session controller does not use.
    virtual void stop(CompletionHandler<void(Result<std::string>)> completion) = 0;
    virtual bool isRecording() = 0;
};

} // namespace norla
