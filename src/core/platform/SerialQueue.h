#pragma once

#include "platform/TaskQueue.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

namespace norla {

// The real serial queue: one worker thread, FIFO tasks, timers on the steady clock. Destroying the
// queue drops tasks and timers that have not started and joins the worker.
class SerialQueue final : public TaskQueue {
public:
    explicit SerialQueue(std::string label);
    ~SerialQueue() override;
    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;

    void async(Task task) override;
    Timer asyncAfter(Duration delay, Task task) override;
    Timer scheduleRepeating(Duration delay, Duration interval, std::function<void()> task) override;
    bool isCurrent() const override;
    const std::string& label() const override { return m_label; }

protected:
    void runSync(const std::function<void()>& task) override;

private:
    using TimePoint = std::chrono::steady_clock::time_point;
    struct TimerEntry {
        std::shared_ptr<std::atomic<bool>> cancelled;
        Task once;
        std::function<void()> repeating;
        Duration interval {};
    };

    void run();

    const std::string m_label;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Task> m_tasks;
    std::multimap<TimePoint, TimerEntry> m_timers;
    bool m_stopping = false;
    std::thread m_worker;
};

} // namespace norla
