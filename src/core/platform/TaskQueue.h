#pragma once

#include "platform/Clock.h"
#include "platform/UniqueFunction.h"

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>

namespace norla {

// A scheduled timer. Destroying or cancelling it stops further firings; a firing already running
// finishes. Cancelling is safe from any thread, also from inside the timer's own task.
class Timer {
public:
    Timer() = default;
    explicit Timer(std::shared_ptr<std::atomic<bool>> cancelled)
        : m_cancelled(std::move(cancelled))
    {
    }
    Timer(Timer&&) noexcept = default;
    Timer& operator=(Timer&& other) noexcept
    {
        if (this != &other) {
            cancel();
            m_cancelled = std::move(other.m_cancelled);
        }
        return *this;
    }
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    ~Timer() { cancel(); }

    void cancel()
    {
        if (m_cancelled)
            m_cancelled->store(true);
        m_cancelled.reset();
    }
    bool isActive() const { return m_cancelled && !m_cancelled->load(); }

private:
    std::shared_ptr<std::atomic<bool>> m_cancelled;
};

// A serial queue: tasks run one at a time, in the order they were submitted, never on the caller's
// stack (except through `sync`, which blocks the caller until its task has run on the queue).
class TaskQueue {
public:
    using Task = UniqueFunction<void()>;

    virtual ~TaskQueue() = default;

    virtual void async(Task task) = 0;
    // One firing after `delay`.
    virtual Timer asyncAfter(Duration delay, Task task) = 0;
    // Fires at start + delay, start + delay + interval, …: deadlines stay on that grid however late a
    // firing runs; firings missed entirely are skipped, not run in a burst.
    virtual Timer scheduleRepeating(Duration delay, Duration interval, std::function<void()> task) = 0;
    // Whether the calling code runs on this queue.
    virtual bool isCurrent() const = 0;
    virtual const std::string& label() const = 0;

    // Runs `work` on the queue and blocks until it has run; returns its value or rethrows its
    // exception. Calling it from the queue itself would deadlock and throws std::logic_error instead.
    template <class F> auto sync(F&& work) -> std::invoke_result_t<F&>
    {
        using R = std::invoke_result_t<F&>;
        std::exception_ptr failure;
        if constexpr (std::is_void_v<R>) {
            runSync([&] {
                try {
                    work();
                } catch (...) {
                    failure = std::current_exception();
                }
            });
            if (failure)
                std::rethrow_exception(failure);
        } else {
            std::optional<R> result;
            runSync([&] {
                try {
                    result.emplace(work());
                } catch (...) {
                    failure = std::current_exception();
                }
            });
            if (failure)
                std::rethrow_exception(failure);
            return std::move(*result);
        }
    }

protected:
    // Runs the task on the queue and returns once it has run.
    virtual void runSync(const std::function<void()>& task) = 0;
};

} // namespace norla
