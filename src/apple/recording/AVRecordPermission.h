#pragma once

#include "platform/RecordPermission.h"

namespace norla {

// The microphone permission of `AVAudioApplication`; the first request shows the system's prompt.
class AVRecordPermission final : public RecordPermission {
public:
    void requestRecordPermission(CompletionHandler<void(bool)> completion) override;
};

} // namespace norla
