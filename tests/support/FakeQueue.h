#pragma once

#include "TestEnvironment.h"
#include "platform/TaskQueue.h"

#include <deque>
#include <map>
#include <memory>
#include <stdexcept>

namespace norla::test {

// A serial queue in virtual time, driven by the test's thread: nothing runs until the test calls
// runUntilIdle or advanceBy, and timers fire when the fake clock reaches their deadlines. `sync` runs
// the earlier tasks, then its own, on the calling thread (marked as being on the queue).
class FakeQueue final : public TaskQueue {
public:
    FakeQueue(std::string label, std::shared_ptr<FakeClock> clock)
        : m_label(std::move(label))
        , m_clock(std::move(clock))
    {
    }

    void async(Task task) override { m_tasks.push_back(std::move(task)); }
    Timer asyncAfter(Duration delay, Task task) override
    {
        return scheduleRepeating(delay, {}, [once = std::make_shared<Task>(std::move(task))] { (*once)(); });
    }
    // An interval of zero makes a one-off.
    Timer scheduleRepeating(Duration delay, Duration interval, std::function<void()> task) override
    {
        auto cancelled = std::make_shared<std::atomic<bool>>(false);
        m_entries.emplace(m_clock->now() + delay, Entry { cancelled, std::move(task), interval });
        return Timer(cancelled);
    }
    bool isCurrent() const override { return running() == this; }
    const std::string& label() const override { return m_label; }

    // Runs ready tasks and due timers until none is left.
    void runUntilIdle()
    {
        while (runOneDueTimer() || runOneTask()) { }
    }
    // Moves the clock forward by `by`, firing each timer at its own deadline on the way.
    void advanceBy(Duration by)
    {
        auto target = m_clock->now() + by;
        runUntilIdle();
        for (auto next = nextDeadline(); next && *next <= target; next = nextDeadline()) {
            m_clock->set(std::max(*next, m_clock->now()));
            runUntilIdle();
        }
        m_clock->set(std::max(target, m_clock->now()));
        runUntilIdle();
    }

protected:
    void runSync(const std::function<void()>& task) override
    {
        if (isCurrent())
            throw std::logic_error("sync called on " + m_label + " from its own queue");
        runUntilIdle();
        std::function<void()> call = [&task] { task(); };
        runOnQueue(call);
    }

private:
    struct Entry {
        std::shared_ptr<std::atomic<bool>> cancelled;
        std::function<void()> task;
        Duration interval; // zero for a one-off
    };

    static const FakeQueue*& running()
    {
        thread_local const FakeQueue* queue = nullptr;
        return queue;
    }
    // Runs `task` marked as being on this queue, then releases what it captured there, as a real queue does.
    template <class F> void runOnQueue(F& task)
    {
        auto previous = std::exchange(running(), this);
        task();
        task = nullptr;
        running() = previous;
    }
    std::optional<Duration> nextDeadline()
    {
        std::erase_if(m_entries, [](const auto& entry) { return entry.second.cancelled->load(); });
        return m_entries.empty() ? std::nullopt : std::optional(m_entries.begin()->first);
    }
    bool runOneDueTimer()
    {
        auto next = nextDeadline();
        if (!next || *next > m_clock->now())
            return false;
        auto node = m_entries.extract(m_entries.begin());
        auto interval = node.mapped().interval;
        auto task = interval > Duration::zero() ? node.mapped().task : std::move(node.mapped().task);
        if (interval > Duration::zero()) {
            // The deadlines stay on their grid; firings missed entirely are skipped.
            while (node.key() <= m_clock->now())
                node.key() += interval;
            m_entries.insert(std::move(node));
        }
        runOnQueue(task);
        return true;
    }
    bool runOneTask()
    {
        if (m_tasks.empty())
            return false;
        auto task = std::move(m_tasks.front());
        m_tasks.pop_front();
        runOnQueue(task);
        return true;
    }

    std::string m_label;
    std::shared_ptr<FakeClock> m_clock;
    std::deque<Task> m_tasks;
    std::multimap<Duration, Entry> m_entries;
};

} // namespace norla::test
