#pragma once

#include "FakeClock.h"
#include "FakeLog.h"
#include "ManualExecutor.h"
#include "platform/Seams.h"

#include <memory>

namespace norla::test {

// Installs a manual main executor, a fake log and a fake clock for the life of a test, and removes all
// three afterwards. Tests hold one as a member or local.
class TestEnvironment {
public:
    TestEnvironment()
    {
        Seam<MainExecutor>::install(m_main);
        Seam<SystemLog>::install(m_log);
        Seam<Clock>::install(m_clock);
    }
    ~TestEnvironment()
    {
        // Work still queued may hold replies and handlers; run it so that nothing is dropped silently.
        m_main->runUntilIdle();
        Seam<MainExecutor>::install(nullptr);
        Seam<SystemLog>::install(nullptr);
        Seam<Clock>::install(nullptr);
    }
    TestEnvironment(const TestEnvironment&) = delete;
    TestEnvironment& operator=(const TestEnvironment&) = delete;

    ManualExecutor& main() { return *m_main; }
    FakeLog& log() { return *m_log; }
    FakeClock& clock() { return *m_clock; }
    std::shared_ptr<FakeClock> sharedClock() { return m_clock; }

private:
    const std::shared_ptr<ManualExecutor> m_main = std::make_shared<ManualExecutor>();
    const std::shared_ptr<FakeLog> m_log = std::make_shared<FakeLog>();
    const std::shared_ptr<FakeClock> m_clock = std::make_shared<FakeClock>();
};

} // namespace norla::test
