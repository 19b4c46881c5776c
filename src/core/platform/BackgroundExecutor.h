#pragma once

#include "platform/UniqueFunction.h"

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <thread>

namespace norla {

// Runs asynchronous operations off the caller's thread, each on its own task, concurrently with one
// another (the role of a detached task). The operations may block while they wait for the platform.
class BackgroundExecutor {
public:
    virtual ~BackgroundExecutor() = default;
    virtual void run(UniqueFunction<void()> task) = 0;
};

// One thread per task. Destruction waits until every task has finished and been released, unless it
// happens on one of the tasks (the last owner of the executor may be a task's capture).
class ThreadBackgroundExecutor final : public BackgroundExecutor {
public:
    ThreadBackgroundExecutor() = default;
    ~ThreadBackgroundExecutor() override;
    ThreadBackgroundExecutor(const ThreadBackgroundExecutor&) = delete;
    ThreadBackgroundExecutor& operator=(const ThreadBackgroundExecutor&) = delete;

    void run(UniqueFunction<void()> task) override;
    // Blocks until every task started so far has finished and released what it captured. On one of the
    // executor's own tasks it returns at once.
    void waitUntilIdle();

    struct State {
        std::mutex mutex;
        std::condition_variable idle;
        std::size_t running = 0;
    };

private:
    std::shared_ptr<State> m_state = std::make_shared<State>();
};

} // namespace norla
