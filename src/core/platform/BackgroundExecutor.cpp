#include "platform/BackgroundExecutor.h"

namespace norla {

namespace {

    // The executor whose task runs on this thread, if any.
    thread_local const ThreadBackgroundExecutor::State* currentExecutor = nullptr;

} // namespace

ThreadBackgroundExecutor::~ThreadBackgroundExecutor() { waitUntilIdle(); }

void ThreadBackgroundExecutor::run(UniqueFunction<void()> task)
{
    {
        std::lock_guard lock(m_state->mutex);
        ++m_state->running;
    }
    // Detached: the shared state outlives the executor for as long as a task still finishes.
    std::thread([state = m_state, task = std::move(task)]() mutable {
        currentExecutor = state.get();
        {
            auto running = std::move(task);
            running();
        }
        std::lock_guard lock(state->mutex);
        if (--state->running == 0)
            state->idle.notify_all();
    }).detach();
}

void ThreadBackgroundExecutor::waitUntilIdle()
{
    if (currentExecutor == m_state.get())
        return;
    std::unique_lock lock(m_state->mutex);
    m_state->idle.wait(lock, [this] { return m_state->running == 0; });
}

} // namespace norla
