#pragma once

#include "platform/BackgroundExecutor.h"

namespace norla::test {

// Runs each asynchronous operation at once on the calling thread, so its completion has run on return.
class InlineBackgroundExecutor final : public BackgroundExecutor {
public:
    void run(UniqueFunction<void()> task) override { task(); }
};

} // namespace norla::test
