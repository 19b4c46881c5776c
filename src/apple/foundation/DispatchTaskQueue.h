#pragma once

#include "platform/TaskQueue.h"
#include "platform/TaskQueues.h"

#import <dispatch/dispatch.h>

#include <memory>
#include <string>

namespace norla {

// A serial dispatch queue as the core's task queue: timers are dispatch-source timers on it, and the
// screen capture delivers its buffers straight onto it.
class DispatchTaskQueue final : public TaskQueue {
public:
    explicit DispatchTaskQueue(std::string label);

    void async(Task task) override;
    Timer asyncAfter(Duration delay, Task task) override;
    Timer scheduleRepeating(Duration delay, Duration interval, std::function<void()> task) override;
    bool isCurrent() const override;
    const std::string& label() const override { return m_label; }

    dispatch_queue_t queue() const { return m_queue; }

protected:
    void runSync(const std::function<void()>& task) override;

private:
    std::string m_label;
    dispatch_queue_t m_queue;
};

// Makes dispatch queues for the core (installed through Seam<TaskQueues>).
class DispatchTaskQueues final : public TaskQueues {
public:
    std::shared_ptr<TaskQueue> makeSerialQueue(std::string label) override
    {
        return std::make_shared<DispatchTaskQueue>(std::move(label));
    }
};

} // namespace norla
