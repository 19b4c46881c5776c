#include "platform/SerialQueue.h"

#include <cstdlib>
#include <iostream>
#include <stdexcept>

namespace norla {

namespace {
    // The queue whose task the current thread is running, for isCurrent().
    thread_local const SerialQueue* currentQueue = nullptr;
} // namespace

SerialQueue::SerialQueue(std::string label)
    : m_label(std::move(label))
{
    m_worker = std::thread([this] { run(); });
}

SerialQueue::~SerialQueue()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    // A queue released from one of its own tasks would free the state its worker is still using.
    if (m_worker.get_id() == std::this_thread::get_id()) {
        std::cerr << "SerialQueue " << m_label << " destroyed from its own task" << std::endl;
        std::abort();
    }
    m_worker.join();
}

void SerialQueue::async(Task task)
{
    {
        std::lock_guard lock(m_mutex);
        m_tasks.push_back(std::move(task));
    }
    m_wake.notify_all();
}

Timer SerialQueue::asyncAfter(Duration delay, Task task)
{
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    {
        std::lock_guard lock(m_mutex);
        m_timers.emplace(std::chrono::steady_clock::now() + delay, TimerEntry { cancelled, std::move(task), {}, {} });
    }
    m_wake.notify_all();
    return Timer(cancelled);
}

Timer SerialQueue::scheduleRepeating(Duration delay, Duration interval, std::function<void()> task)
{
    if (interval <= Duration::zero())
        throw std::invalid_argument("repeating timer needs a positive interval");
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    {
        std::lock_guard lock(m_mutex);
        m_timers.emplace(
            std::chrono::steady_clock::now() + delay, TimerEntry { cancelled, nullptr, std::move(task), interval });
    }
    m_wake.notify_all();
    return Timer(cancelled);
}

bool SerialQueue::isCurrent() const { return currentQueue == this; }

void SerialQueue::runSync(const std::function<void()>& task)
{
    if (isCurrent())
        throw std::logic_error("sync called on " + m_label + " from its own queue");
    std::mutex doneMutex;
    std::condition_variable doneSignal;
    bool done = false;
    async([&] {
        task();
        std::lock_guard lock(doneMutex);
        done = true;
        doneSignal.notify_all();
    });
    std::unique_lock lock(doneMutex);
    doneSignal.wait(lock, [&] { return done; });
}

void SerialQueue::run()
{
    currentQueue = this;
    std::unique_lock lock(m_mutex);
    while (true) {
        // Timers that are due go first, in deadline order, then one plain task; then look again.
        auto now = std::chrono::steady_clock::now();
        while (!m_timers.empty() && m_timers.begin()->first <= now && !m_stopping) {
            auto node = m_timers.extract(m_timers.begin());
            auto& entry = node.mapped();
            if (entry.cancelled->load())
                continue;
            if (entry.repeating) {
                auto next = node.key() + entry.interval;
                // Skip deadlines that passed entirely while this firing was late.
                while (next <= now)
                    next += entry.interval;
                auto repeating = entry.repeating;
                auto cancelled = entry.cancelled;
                node.key() = next;
                m_timers.insert(std::move(node));
                lock.unlock();
                if (!cancelled->load())
                    repeating();
                lock.lock();
            } else {
                auto once = std::move(entry.once);
                lock.unlock();
                once();
                once = nullptr;
                lock.lock();
            }
            now = std::chrono::steady_clock::now();
        }
        if (m_stopping)
            break;
        if (!m_tasks.empty()) {
            auto task = std::move(m_tasks.front());
            m_tasks.pop_front();
            lock.unlock();
            task();
            task = nullptr; // captured state is released on the queue, not under the lock
            lock.lock();
            continue;
        }
        if (m_timers.empty())
            m_wake.wait(lock);
        else
            m_wake.wait_until(lock, m_timers.begin()->first);
    }
    // Dropped work is destroyed outside the lock: its captures may post or reply.
    auto tasks = std::move(m_tasks);
    auto timers = std::move(m_timers);
    lock.unlock();
    tasks.clear();
    timers.clear();
    currentQueue = nullptr;
}

} // namespace norla
