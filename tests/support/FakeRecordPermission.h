#pragma once

#include "platform/RecordPermission.h"

#include <atomic>

namespace norla::test {

// Answers the microphone permission at once with the planned answer.
class FakeRecordPermission final : public RecordPermission {
public:
    void requestRecordPermission(CompletionHandler<void(bool)> completion) override { completion(m_granted.load()); }
    void setGranted(bool granted) { m_granted = granted; }

private:
    std::atomic<bool> m_granted { true };
};

} // namespace norla::test
