#pragma once

#include "FakeClock.h"
#include "FakeLog.h"
#include "ManualExecutor.h"

#include <memory>

namespace norla::test {

// Installs a manual main executor, a fake log and a fake clock for the life of a test, and restores
// an empty state afterwards. Tests hold one as a member or local.
class TestEnvironment {
public:
    TestEnvironment();
    ~TestEnvironment();
    TestEnvironment(const TestEnvironment&) = delete;
    TestEnvironment& operator=(const TestEnvironment&) = delete;

    ManualExecutor& main() { return *m_main; }
    FakeLog& log() { return *m_log; }
    FakeClock& clock() { return *m_clock; }
    std::shared_ptr<FakeClock> sharedClock() { return m_clock; }

private:
    std::shared_ptr<ManualExecutor> m_main = std::make_shared<ManualExecutor>();
    std::shared_ptr<FakeLog> m_log = std::make_shared<FakeLog>();
    std::shared_ptr<FakeClock> m_clock = std::make_shared<FakeClock>();
};

} // namespace norla::test
