#pragma once

#include "platform/CompletionHandler.h"

namespace norla {

// The microphone permission (AVAudioApplication's record permission). The completion runs once, on a
// thread of the platform's choosing.
class RecordPermission {
public:
    virtual ~RecordPermission() = default;
    virtual void requestRecordPermission(CompletionHandler<void(bool)> completion) = 0;
};

} // namespace norla
