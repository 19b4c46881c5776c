#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace norla::test {

// A program started by a benchmark, whose standard output the benchmark reads line by line. A child still running
// when the object goes is killed and reaped.
class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& arguments);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool isStarted() const { return m_pid > 0; }
    int pid() const { return m_pid; }
    // The next line of output, or nothing when the child closed its output or the time ran out.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout);
    // Kills the child at once (SIGKILL) and reaps it.
    void kill();
    // Waits for the child to end by itself; its exit status, or nothing when it was killed or the time ran out.
    std::optional<int> wait(std::chrono::milliseconds timeout);

private:
    int m_pid = -1;
    int m_output = -1;
    std::string m_buffered;
};

} // namespace norla::test
