#pragma once

#include "platform/Clock.h"
#include "platform/MainExecutor.h"
#include "platform/Seams.h"
#include "platform/SystemLog.h"

#include <algorithm>
#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace norla::test {

// The main thread in tests: posted work waits until the test runs it. The thread that created the
// executor counts as the main thread.
class ManualExecutor final : public MainExecutor {
public:
    void post(UniqueFunction<void()> task) override
    {
        std::lock_guard lock(m_mutex);
        m_tasks.push_back(std::move(task));
    }
    bool isMainThread() const override { return std::this_thread::get_id() == m_mainThread; }

    // Runs posted work, including work posted meanwhile, until none is left.
    void runUntilIdle()
    {
        for (std::unique_lock lock(m_mutex); !m_tasks.empty(); lock.lock()) {
            auto task = std::move(m_tasks.front());
            m_tasks.pop_front();
            lock.unlock();
            task();
        }
    }

private:
    std::mutex m_mutex;
    std::deque<UniqueFunction<void()>> m_tasks;
    const std::thread::id m_mainThread = std::this_thread::get_id();
};

// Collects log lines for assertions.
class FakeLog final : public SystemLog {
public:
    void write(std::string_view line) override
    {
        std::lock_guard lock(m_mutex);
        m_lines.emplace_back(line);
    }
    std::vector<std::string> lines() const
    {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }
    bool contains(std::string_view fragment) const
    {
        return std::ranges::any_of(lines(), [&](auto& line) { return line.find(fragment) != std::string::npos; });
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

// A clock that moves only when the test moves it.
class FakeClock final : public Clock {
public:
    Duration now() const override { return Duration(m_now.load()); }
    void set(Duration to) { m_now.store(to.count()); }

private:
    std::atomic<Duration::rep> m_now { Duration(std::chrono::hours(1)).count() };
};

// Installs a manual main executor, a fake log and a fake clock for the life of a test, and removes every
// seam it installed afterwards. Tests hold one as a member or local.
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
    std::shared_ptr<FakeClock> sharedClock() { return m_clock; }

private:
    const std::shared_ptr<ManualExecutor> m_main = std::make_shared<ManualExecutor>();
    const std::shared_ptr<FakeLog> m_log = std::make_shared<FakeLog>();
    const std::shared_ptr<FakeClock> m_clock = std::make_shared<FakeClock>();
};

} // namespace norla::test
