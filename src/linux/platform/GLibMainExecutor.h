#pragma once

#include "foundation/GRef.h"
#include "platform/MainExecutor.h"

#include <glib.h>

#include <memory>
#include <thread>

namespace norla {

// The main thread on GLib: posted tasks run, in the order they were posted, from the GLib main context
// that the main thread iterates (the default context in the application). The thread that creates the
// executor is the main thread.
class GLibMainExecutor final : public MainExecutor {
public:
    // `context` null means the default main context.
    explicit GLibMainExecutor(GMainContext* context = nullptr);
    ~GLibMainExecutor() override;
    GLibMainExecutor(const GLibMainExecutor&) = delete;
    GLibMainExecutor& operator=(const GLibMainExecutor&) = delete;

    void post(UniqueFunction<void()> task) override;
    bool isMainThread() const override;

private:
    struct Queue;
    std::shared_ptr<Queue> m_queue;
    GRef<GMainContext> m_context;
    std::thread::id m_mainThread;
};

} // namespace norla
