#pragma once

#include "platform/RecordPermission.h"

namespace norla {

// The microphone permission on Linux: PulseAudio lets every client of the user's session record its
// sources, and there is no per-application consent to ask for, so the answer is always yes. Whether a
// source can actually be opened shows when a recording starts.
class PulseRecordPermission final : public RecordPermission {
public:
    // Answers on the calling thread.
    void requestRecordPermission(CompletionHandler<void(bool)> completion) override { completion(true); }
};

} // namespace norla
