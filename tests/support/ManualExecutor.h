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
    void post(UniqueFunction<void()> task) override
    {
        std::lock_guard lock(m_mutex);
        m_tasks.push_back(std::move(task));
    }
    bool isMainThread() const override { return std::this_thread::get_id() == m_mainThread; }

    // Runs posted work, including work posted meanwhile, until none is left. Returns how many ran.
    size_t runUntilIdle()
    {
        for (size_t count = 0;; ++count) {
            UniqueFunction<void()> task;
            {
                std::lock_guard lock(m_mutex);
                if (m_tasks.empty())
                    return count;
                task = std::move(m_tasks.front());
                m_tasks.pop_front();
            }
            task();
        }
    }

private:
    std::mutex m_mutex;
    std::deque<UniqueFunction<void()>> m_tasks;
    const std::thread::id m_mainThread = std::this_thread::get_id();
};

} // namespace norla::test
