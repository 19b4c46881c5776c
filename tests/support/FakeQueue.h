#pragma once

#include "FakeClock.h"
#include "platform/TaskQueue.h"

#include <deque>
#include <map>
#include <memory>

namespace norla::test {

// A serial queue in virtual time, driven by the test's thread: nothing runs until the test calls
// runUntilIdle or advanceBy, and timers fire when the fake clock reaches their deadlines. `sync` runs
// the earlier tasks, then its own, on the calling thread (marked as being on the queue).
class FakeQueue final : public TaskQueue {
public:
    FakeQueue(std::string label, std::shared_ptr<FakeClock> clock);

    void async(Task task) override;
    Timer asyncAfter(Duration delay, Task task) override;
    Timer scheduleRepeating(Duration delay, Duration interval, std::function<void()> task) override;
    bool isCurrent() const override;
    const std::string& label() const override { return m_label; }

    // Runs ready tasks and due timers until none is left; returns how many ran.
    size_t runUntilIdle();
    // Moves the clock forward by `by`, firing each timer at its own deadline on the way.
    void advanceBy(Duration by);
    size_t pendingTimerCount() const;

protected:
    void runSync(const std::function<void()>& task) override;

private:
    struct TimerEntry {
        std::shared_ptr<std::atomic<bool>> cancelled;
        Task once;
        std::function<void()> repeating;
        Duration interval {};
    };
    bool runOneDueTimer();
    void runTask(Task& task);

    std::string m_label;
    std::shared_ptr<FakeClock> m_clock;
    std::deque<Task> m_tasks;
    std::multimap<Duration, TimerEntry> m_timers;
};

} // namespace norla::test
