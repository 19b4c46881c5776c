#pragma once

#include "platform/BackgroundExecutor.h"

namespace norla {

// Detached work on the system's concurrent global queue.
class DispatchBackgroundExecutor final : public BackgroundExecutor {
public:
    void run(UniqueFunction<void()> task) override;
};

} // namespace norla
