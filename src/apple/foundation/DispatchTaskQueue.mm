#include "foundation/DispatchTaskQueue.h"

#include <atomic>
#include <stdexcept>

namespace norla {

namespace {

    // The queue-specific key whose value on each of our queues is the queue object itself.
    char currentQueueKey;

    dispatch_time_t after(Duration delay)
    {
        return dispatch_time(DISPATCH_TIME_NOW, static_cast<int64_t>(delay.count() > 0 ? delay.count() : 0));
    }

    // Dispatch blocks must be copyable; the core's tasks are move-only, so the block holds them shared.
    template <class F> dispatch_block_t block(F function)
    {
        auto shared = std::make_shared<F>(std::move(function));
        return ^{ (*shared)(); };
    }

} // namespace

DispatchTaskQueue::DispatchTaskQueue(std::string label)
    : m_label(std::move(label))
    , m_queue(dispatch_queue_create(m_label.c_str(), DISPATCH_QUEUE_SERIAL))
{
    dispatch_queue_set_specific(m_queue, &currentQueueKey, this, nullptr);
}

void DispatchTaskQueue::async(Task task) { dispatch_async(m_queue, block(std::move(task))); }

Timer DispatchTaskQueue::asyncAfter(Duration delay, Task task)
{
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    dispatch_after(after(delay), m_queue, block([cancelled, task = std::move(task)]() mutable {
        if (!cancelled->load())
            task();
    }));
    return Timer(cancelled);
}

Timer DispatchTaskQueue::scheduleRepeating(Duration delay, Duration interval, std::function<void()> task)
{
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    dispatch_source_t source = dispatch_source_create(DISPATCH_SOURCE_TYPE_TIMER, 0, 0, m_queue);
    dispatch_source_set_timer(source, after(delay), static_cast<uint64_t>(interval.count()), 0);
    // The handler holds the source: it lives until a firing finds its timer cancelled and cancels it,
    // which releases the handler and with it the source.
    dispatch_source_set_event_handler(source, ^{
        if (cancelled->load()) {
            dispatch_source_cancel(source);
            return;
        }
        task();
    });
    dispatch_resume(source);
    return Timer(cancelled);
}

bool DispatchTaskQueue::isCurrent() const { return dispatch_get_specific(&currentQueueKey) == this; }

void DispatchTaskQueue::runSync(const std::function<void()>& task)
{
    if (isCurrent())
        throw std::logic_error("sync called on its own queue: " + m_label);
    dispatch_sync(m_queue, ^{ task(); });
}

} // namespace norla
