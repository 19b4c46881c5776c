#pragma once

#include "ForwardingQueue.h"

namespace norla::test {

// The recorder's real serial queue, except that a repeating timer of the product's rotation interval fires
// at the test's own interval instead, so that a test can record across rotations in a few seconds.
class RotationQueue final : public ForwardingQueue {
public:
    RotationQueue(std::string label, Duration productInterval, Duration testInterval)
        : ForwardingQueue(std::move(label))
        , m_productInterval(productInterval)
        , m_testInterval(testInterval)
    {
    }

    Timer scheduleRepeating(Duration delay, Duration interval, std::function<void()> task) override
    {
        if (delay == m_productInterval && interval == m_productInterval)
            return inner().scheduleRepeating(m_testInterval, m_testInterval, std::move(task));
        return inner().scheduleRepeating(delay, interval, std::move(task));
    }

private:
    const Duration m_productInterval;
    const Duration m_testInterval;
};

} // namespace norla::test
