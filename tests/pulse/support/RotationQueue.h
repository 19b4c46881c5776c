#pragma once

#include "platform/SerialQueue.h"

#include <memory>

namespace norla::test {

// The recorder's real serial queue, except that a repeating timer of the product's rotation interval fires
// at the test's own interval instead, so that a test can record across rotations in a few seconds. Every
// other task and timer passes through unchanged.
class RotationQueue final : public TaskQueue {
public:
    RotationQueue(std::string label, Duration productInterval, Duration testInterval)
        : m_queue(std::make_shared<SerialQueue>(std::move(label)))
        , m_productInterval(productInterval)
        , m_testInterval(testInterval)
    {
    }

    void async(Task task) override { m_queue->async(std::move(task)); }
    Timer asyncAfter(Duration delay, Task task) override { return m_queue->asyncAfter(delay, std::move(task)); }
    Timer scheduleRepeating(Duration delay, Duration interval, std::function<void()> task) override
    {
        if (delay == m_productInterval && interval == m_productInterval)
            return m_queue->scheduleRepeating(m_testInterval, m_testInterval, std::move(task));
        return m_queue->scheduleRepeating(delay, interval, std::move(task));
    }
    bool isCurrent() const override { return m_queue->isCurrent(); }
    const std::string& label() const override { return m_queue->label(); }

protected:
    void runSync(const std::function<void()>& task) override { m_queue->sync(task); }

private:
    const std::shared_ptr<SerialQueue> m_queue;
    const Duration m_productInterval;
    const Duration m_testInterval;
};

} // namespace norla::test
