// What recording costs: the CPU of the recording process while it captures system audio and the
// microphone (percent of one core, from /proc, over the first minute) and its resident memory, sampled
// every ten seconds over ten minutes. A private headless PulseAudio server plays one tone as the system's
// audio and another into the virtual microphone, from this process; the recording runs in a child process
// of its own, so that only the recording is measured.
//   norla-recording-bench [--cpu-seconds N] [--memory-seconds N]
#include "ChildProcess.h"
#include "LinuxRecorder.h"
#include "TonePlayer.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>

using namespace norla;
using namespace norla::test;
using WallClock = std::chrono::steady_clock;

namespace {

// utime + stime of a process, in seconds.
double cpuSeconds(int pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    // The fields after the command name, which is in parentheses and may hold spaces.
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    double ticks = 0;
    for (int index = 3; fields >> field; ++index) {
        if (index == 14 || index == 15)
            ticks += std::stod(field);
        if (index == 15)
            break;
    }
    return ticks / double(sysconf(_SC_CLK_TCK));
}

// Resident memory of a process, in kB.
long residentKilobytes(int pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmRSS:"))
            return std::atol(line.c_str() + 6);
    }
    return -1;
}

// The child: records one system-audio session until its standard input closes, then stops it.
int record(const std::string& root)
{
    auto recorder = makeLinuxRecorder(root);
    if (auto started = recorder->startAndWait(); !started) {
        std::fprintf(stderr, "start failed: %s\n", started.error().description().c_str());
        return 1;
    }
    std::printf("recording %s %s\n", recorder->state().hasCapture ? "system+microphone" : "microphone",
        recorder->state().sessionDir.value_or("").c_str());
    std::fflush(stdout);
    std::string line;
    std::getline(std::cin, line);
    auto stopping = WallClock::now();
    auto stopped = recorder->stopAndWait();
    std::fprintf(stderr, "stop and mixdown: %.2f s, %s\n",
        std::chrono::duration<double>(WallClock::now() - stopping).count(),
        stopped ? stopped.value().c_str() : stopped.error().description().c_str());
    return stopped ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--record")
        return record(argv[2]);
    double cpuWindow = 60;
    double memoryWindow = 600;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--cpu-seconds")
            cpuWindow = std::atof(argv[i + 1]);
        else if (std::string(argv[i]) == "--memory-seconds")
            memoryWindow = std::atof(argv[i + 1]);
    }

    char pattern[] = "/tmp/norla-bench-XXXXXX";
    if (!mkdtemp(pattern))
        return 1;
    std::string directory = pattern;
    auto server = std::string(NORLA_PULSE_SERVER_SCRIPT);
    if (std::system(("'" + server + "' start '" + directory + "/server' >/dev/null").c_str()) != 0) {
        std::fprintf(stderr, "the PulseAudio server did not start\n");
        return 1;
    }
    setenv("PULSE_SERVER", ("unix:" + directory + "/server/runtime/native").c_str(), 1);
    int status = 0;
    {
        TonePlayer system("ci_sink", 440);
        TonePlayer microphone("ci_mic_sink", 1000);
        // The child reads its standard input from a pipe: closing it asks the recording to stop.
        int input[2];
        if (pipe2(input, O_CLOEXEC) != 0)
            return 1;
        dup2(input[0], STDIN_FILENO);
        ChildProcess child({ "/proc/self/exe", "--record", directory + "/recordings" });
        close(input[0]);
        auto line = child.readLine(std::chrono::seconds(30));
        std::printf("%s\n", line ? line->c_str() : "the recording did not start");
        if (!line)
            return 1;
        int pid = child.pid();

        auto began = WallClock::now();
        auto cpuBegan = cpuSeconds(pid);
        bool cpuReported = false;
        long firstMemory = residentKilobytes(pid);
        long largestMemory = firstMemory;
        std::printf("memory at start: %ld kB\n", firstMemory);
        for (int tick = 1;; ++tick) {
            std::this_thread::sleep_until(began + std::chrono::seconds(10 * tick));
            auto elapsed = std::chrono::duration<double>(WallClock::now() - began).count();
            if (!cpuReported && elapsed >= cpuWindow) {
                auto share = (cpuSeconds(pid) - cpuBegan) / elapsed * 100;
                std::printf("CPU while capturing, over %.0f s: %.2f %% of one core\n", elapsed, share);
                cpuReported = true;
            }
            auto memory = residentKilobytes(pid);
            largestMemory = std::max(largestMemory, memory);
            std::printf("memory at %4.0f s: %ld kB\n", elapsed, memory);
            std::fflush(stdout);
            if (elapsed >= memoryWindow) {
                std::printf("memory: %ld kB at start, %ld kB at the end, %ld kB at most; CPU over the whole run: "
                            "%.2f %% of one core\n",
                    firstMemory, memory, largestMemory, (cpuSeconds(pid) - cpuBegan) / elapsed * 100);
                break;
            }
        }
        close(input[1]);
        if (!child.wait(std::chrono::seconds(120)))
            status = 1;
    }
    std::system(("'" + server + "' stop '" + directory + "/server' >/dev/null").c_str());
    std::system(("rm -rf '" + directory + "'").c_str());
    return status;
}
