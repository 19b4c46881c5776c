#include "FakeQueue.h"

#include <stdexcept>

namespace norla::test {

namespace {
    thread_local const FakeQueue* runningQueue = nullptr;

    class RunningScope {
    public:
        explicit RunningScope(const FakeQueue* queue)
            : m_previous(std::exchange(runningQueue, queue))
        {
        }
        ~RunningScope() { runningQueue = m_previous; }
        RunningScope(const RunningScope&) = delete;
        RunningScope& operator=(const RunningScope&) = delete;

    private:
        const FakeQueue* m_previous;
    };
} // namespace

FakeQueue::FakeQueue(std::string label, std::shared_ptr<FakeClock> clock)
    : m_label(std::move(label))
    , m_clock(std::move(clock))
{
}

void FakeQueue::async(Task task) { m_tasks.push_back(std::move(task)); }

Timer FakeQueue::asyncAfter(Duration delay, Task task)
{
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    m_timers.emplace(m_clock->now() + delay, TimerEntry { cancelled, std::move(task), {}, {} });
    return Timer(cancelled);
}

Timer FakeQueue::scheduleRepeating(Duration delay, Duration interval, std::function<void()> task)
{
    if (interval <= Duration::zero())
        throw std::invalid_argument("repeating timer needs a positive interval");
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    m_timers.emplace(m_clock->now() + delay, TimerEntry { cancelled, nullptr, std::move(task), interval });
    return Timer(cancelled);
}

bool FakeQueue::isCurrent() const { return runningQueue == this; }

void FakeQueue::runTask(Task& task)
{
    RunningScope scope(this);
    task();
    task = nullptr;
}

bool FakeQueue::runOneDueTimer()
{
    auto now = m_clock->now();
    while (!m_timers.empty() && m_timers.begin()->first <= now) {
        auto node = m_timers.extract(m_timers.begin());
        auto& entry = node.mapped();
        if (entry.cancelled->load())
            continue;
        if (entry.repeating) {
            auto repeating = entry.repeating;
            auto next = node.key() + entry.interval;
            while (next <= now)
                next += entry.interval;
            node.key() = next;
            m_timers.insert(std::move(node));
            RunningScope scope(this);
            repeating();
        } else {
            auto once = std::move(entry.once);
            runTask(once);
        }
        return true;
    }
    return false;
}

size_t FakeQueue::runUntilIdle()
{
    size_t count = 0;
    while (true) {
        if (runOneDueTimer()) {
            ++count;
            continue;
        }
        if (m_tasks.empty())
            return count;
        auto task = std::move(m_tasks.front());
        m_tasks.pop_front();
        runTask(task);
        ++count;
    }
}

void FakeQueue::advanceBy(Duration by)
{
    auto target = m_clock->now() + by;
    runUntilIdle();
    while (true) {
        auto next = m_timers.begin();
        while (next != m_timers.end() && next->second.cancelled->load())
            next = m_timers.erase(next);
        if (next == m_timers.end() || next->first > target)
            break;
        if (next->first > m_clock->now())
            m_clock->set(next->first);
        runUntilIdle();
    }
    if (target > m_clock->now())
        m_clock->set(target);
    runUntilIdle();
}

size_t FakeQueue::pendingTimerCount() const
{
    size_t count = 0;
    for (auto& [deadline, entry] : m_timers)
        count += entry.cancelled->load() ? 0 : 1;
    return count;
}

void FakeQueue::runSync(const std::function<void()>& task)
{
    if (isCurrent())
        throw std::logic_error("sync called on " + m_label + " from its own queue");
    runUntilIdle();
    RunningScope scope(this);
    task();
}

} // namespace norla::test
