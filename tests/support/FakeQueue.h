#pragma once

#include "FakeClock.h"
#include "platform/TaskQueue.h"

#include <deque>
#include <map>
#include <memory>
#include <optional>
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
        return schedule(delay, {}, [once = std::make_shared<Task>(std::move(task))] { (*once)(); });
    }
    Timer scheduleRepeating(Duration delay, Duration interval, std::function<void()> task) override
    {
        if (interval <= Duration::zero())
            throw std::invalid_argument("repeating timer needs a positive interval");
        return schedule(delay, interval, std::move(task));
    }
    bool isCurrent() const override { return running() == this; }
    const std::string& label() const override { return m_label; }

    // Runs ready tasks and due timers until none is left; returns how many ran.
    size_t runUntilIdle()
    {
        size_t count = 0;
        while (runOneDueTimer() || runOneTask())
            ++count;
        return count;
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
        runOnQueue(task);
    }

private:
    struct TimerEntry {
        std::shared_ptr<std::atomic<bool>> cancelled;
        std::function<void()> task;
        Duration interval; // zero for a one-off
    };

    static const FakeQueue*& running()
    {
        thread_local const FakeQueue* queue = nullptr;
        return queue;
    }
    // Runs `work` marked as being on this queue.
    template <class F> void runOnQueue(F&& work)
    {
        struct Mark {
            const FakeQueue* previous;
            ~Mark() { running() = previous; }
        } mark { std::exchange(running(), this) };
        work();
    }
    Timer schedule(Duration delay, Duration interval, std::function<void()> task)
    {
        auto cancelled = std::make_shared<std::atomic<bool>>(false);
        m_timers.emplace(m_clock->now() + delay, TimerEntry { cancelled, std::move(task), interval });
        return Timer(cancelled);
    }
    std::optional<Duration> nextDeadline()
    {
        std::erase_if(m_timers, [](const auto& timer) { return timer.second.cancelled->load(); });
        return m_timers.empty() ? std::nullopt : std::optional(m_timers.begin()->first);
    }
    // What a task captured is released on the queue, as on a real one.
    template <class F> void runAndRelease(F& task)
    {
        runOnQueue([&] {
            task();
            task = nullptr;
        });
    }
    bool runOneDueTimer()
    {
        auto next = nextDeadline();
        if (!next || *next > m_clock->now())
            return false;
        auto node = m_timers.extract(m_timers.begin());
        auto interval = node.mapped().interval;
        auto task = interval > Duration::zero() ? node.mapped().task : std::move(node.mapped().task);
        if (interval > Duration::zero()) {
            // The deadlines stay on their grid; firings missed entirely are skipped.
            while (node.key() <= m_clock->now())
                node.key() += interval;
            m_timers.insert(std::move(node));
        }
        runAndRelease(task);
        return true;
    }
    bool runOneTask()
    {
        if (m_tasks.empty())
            return false;
        auto task = std::move(m_tasks.front());
        m_tasks.pop_front();
        runAndRelease(task);
        return true;
    }

    std::string m_label;
    std::shared_ptr<FakeClock> m_clock;
    std::deque<Task> m_tasks;
    std::multimap<Duration, TimerEntry> m_timers;
};

} // namespace norla::test
