#include "platform/BackgroundExecutor.h"

#include <vector>

namespace norla {

ThreadBackgroundExecutor::~ThreadBackgroundExecutor()
{
    waitUntilIdle();
    std::unique_lock lock(m_mutex);
    joinFinished(lock);
}

void ThreadBackgroundExecutor::run(UniqueFunction<void()> task)
{
    std::unique_lock lock(m_mutex);
    joinFinished(lock);
    auto& worker = m_workers.emplace_back();
    ++m_running;
    worker.thread = std::thread([this, &worker, task = std::move(task)] {
        task();
        std::lock_guard done(m_mutex);
        worker.finished = true;
        --m_running;
        m_changed.notify_all();
    });
}

void ThreadBackgroundExecutor::waitUntilIdle()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_running == 0; });
}

void ThreadBackgroundExecutor::joinFinished(std::unique_lock<std::mutex>& lock)
{
    std::vector<std::thread> done;
    for (auto it = m_workers.begin(); it != m_workers.end();) {
        if (it->finished) {
            done.push_back(std::move(it->thread));
            it = m_workers.erase(it);
        } else {
            ++it;
        }
    }
    // A finished worker may still be releasing the lock; join without holding it.
    lock.unlock();
    for (auto& thread : done)
        thread.join();
    lock.lock();
}

} // namespace norla
