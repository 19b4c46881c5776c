#pragma once

#include "platform/MainExecutor.h"

#include <deque>
#include <mutex>
#include <thread>

namespace norla::test {

// The main thread in tests: posted work waits until the test runs it. The thread that created the
// executor counts as the main thread.
class ManualExecutor final : public MainExecutor {
public:
    void post(UniqueFunction<void()> task) override;
    bool isMainThread() const override { return std::this_thread::get_id() == m_mainThread; }

    // Runs posted work, including work posted meanwhile, until none is left. Returns how many ran.
    size_t runUntilIdle();
    size_t pendingCount() const;

private:
    mutable std::mutex m_mutex;
    std::deque<UniqueFunction<void()>> m_tasks;
    std::thread::id m_mainThread = std::this_thread::get_id();
};

} // namespace norla::test
