#pragma once

#include "platform/Clock.h"

#include <atomic>

namespace norla::test {

// A clock that moves only when the test moves it.
class FakeClock final : public Clock {
public:
    Duration now() const override { return Duration(m_now.load()); }
    void set(Duration to) { m_now.store(to.count()); }

private:
    std::atomic<Duration::rep> m_now { Duration(std::chrono::hours(1)).count() };
};

} // namespace norla::test
