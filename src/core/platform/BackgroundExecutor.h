#pragma once

#include "platform/UniqueFunction.h"

#include <condition_variable>
#include <cstddef>
#include <list>
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

// One thread per task. Finished threads are joined by the next `run`; destruction waits for all.
class ThreadBackgroundExecutor final : public BackgroundExecutor {
public:
    ThreadBackgroundExecutor() = default;
    ~ThreadBackgroundExecutor() override;
    ThreadBackgroundExecutor(const ThreadBackgroundExecutor&) = delete;
    ThreadBackgroundExecutor& operator=(const ThreadBackgroundExecutor&) = delete;

    void run(UniqueFunction<void()> task) override;
    // Blocks until every task started so far has finished.
    void waitUntilIdle();

private:
    struct Worker {
        std::thread thread;
        bool finished = false;
    };
    void joinFinished(std::unique_lock<std::mutex>& lock);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::list<Worker> m_workers;
    std::size_t m_running = 0;
};

} // namespace norla
