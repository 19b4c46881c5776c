#pragma once

#include "platform/MainExecutor.h"

namespace norla {

// The main thread's executor: the main dispatch queue, which the main run loop drains.
class MainQueueExecutor final : public MainExecutor {
public:
    void post(UniqueFunction<void()> task) override;
    bool isMainThread() const override;
};

} // namespace norla
