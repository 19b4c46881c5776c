#pragma once

#include "platform/SerialQueue.h"

#include <memory>
#include <string>

namespace norla::test {

// A real serial queue that a test wraps to watch or bend what passes through it: a subclass overrides
// only the calls it cares about, everything else goes to the inner queue unchanged.
class ForwardingQueue : public TaskQueue {
public:
    explicit ForwardingQueue(std::string label)
        : m_inner(std::make_shared<SerialQueue>(std::move(label)))
    {
    }

    void async(Task task) override { m_inner->async(std::move(task)); }
    Timer asyncAfter(Duration delay, Task task) override { return m_inner->asyncAfter(delay, std::move(task)); }
    Timer scheduleRepeating(Duration delay, Duration interval, std::function<void()> task) override
    {
        return m_inner->scheduleRepeating(delay, interval, std::move(task));
    }
    bool isCurrent() const override { return m_inner->isCurrent(); }
    const std::string& label() const override { return m_inner->label(); }

protected:
    void runSync(const std::function<void()>& task) override { m_inner->sync(task); }
    SerialQueue& inner() { return *m_inner; }

private:
    const std::shared_ptr<SerialQueue> m_inner;
};

} // namespace norla::test
