#include "ManualExecutor.h"

namespace norla::test {

void ManualExecutor::post(UniqueFunction<void()> task)
{
    std::lock_guard lock(m_mutex);
    m_tasks.push_back(std::move(task));
}

size_t ManualExecutor::runUntilIdle()
{
    size_t count = 0;
    while (true) {
        UniqueFunction<void()> task;
        {
            std::lock_guard lock(m_mutex);
            if (m_tasks.empty())
                return count;
            task = std::move(m_tasks.front());
            m_tasks.pop_front();
        }
        task();
        ++count;
    }
}

size_t ManualExecutor::pendingCount() const
{
    std::lock_guard lock(m_mutex);
    return m_tasks.size();
}

} // namespace norla::test
