#include "TestEnvironment.h"

#include "platform/Seams.h"

namespace norla::test {

TestEnvironment::TestEnvironment()
{
    Seam<MainExecutor>::install(m_main);
    Seam<SystemLog>::install(m_log);
    Seam<Clock>::install(m_clock);
}

TestEnvironment::~TestEnvironment()
{
    // Work still queued may hold replies and handlers; run it so that nothing is dropped silently.
    m_main->runUntilIdle();
    Seam<MainExecutor>::install(nullptr);
    Seam<SystemLog>::install(nullptr);
    Seam<Clock>::install(nullptr);
}

} // namespace norla::test
