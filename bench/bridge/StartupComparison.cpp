#include "StartupComparison.h"

#include "foundation/GUniquePtr.h"

#include <glib.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <poll.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace norla::bench {

namespace {

    constexpr int loadTimeoutMilliseconds = 60000;

    // Fields of /proc/PID/stat after the command name: field 4 is the parent, field 22 the start time.
    std::vector<std::string> statFields(pid_t pid)
    {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        std::getline(stat, line);
        auto close = line.rfind(')');
        if (close == std::string::npos)
            return {};
        std::istringstream rest(line.substr(close + 2));
        std::vector<std::string> fields { "", "", "" }; // pid, command: fields 1 and 2 (index from 1)
        for (std::string field; rest >> field;)
            fields.push_back(field);
        return fields;
    }

    // Seconds since boot at which `pid` started.
    double startSinceBoot(pid_t pid)
    {
        auto fields = statFields(pid);
        return fields.size() > 22 ? std::stod(fields[22]) / static_cast<double>(sysconf(_SC_CLK_TCK)) : 0;
    }

    double nowSinceBoot()
    {
        timespec now {};
        clock_gettime(CLOCK_BOOTTIME, &now);
        return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
    }

    long residentKiB(pid_t pid)
    {
        std::ifstream status("/proc/" + std::to_string(pid) + "/status");
        for (std::string line; std::getline(status, line);) {
            if (line.starts_with("VmRSS:"))
                return std::stol(line.substr(6));
        }
        return 0;
    }

    // `root` and all its descendants, from the parent links in /proc.
    std::vector<pid_t> processTree(pid_t root)
    {
        std::multimap<pid_t, pid_t> children;
        for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
            auto name = entry.path().filename().string();
            if (name.empty() || !std::all_of(name.begin(), name.end(), ::isdigit))
                continue;
            auto pid = static_cast<pid_t>(std::stol(name));
            auto fields = statFields(pid);
            if (fields.size() > 4)
                children.emplace(static_cast<pid_t>(std::stol(fields[4])), pid);
        }
        std::vector<pid_t> tree { root };
        for (std::size_t i = 0; i < tree.size(); ++i) {
            auto [first, last] = children.equal_range(tree[i]);
            for (auto it = first; it != last; ++it)
                tree.push_back(it->second);
        }
        return tree;
    }

    double median(std::vector<double> values)
    {
        std::sort(values.begin(), values.end());
        return values.empty() ? 0 : values[values.size() / 2];
    }

    void endTree(const std::vector<pid_t>& tree)
    {
        for (auto pid : tree)
            kill(pid, SIGTERM);
        waitpid(tree.front(), nullptr, 0);
    }

} // namespace

StartupComparison::StartupComparison(
    std::string officeBinary, std::string bareBinary, std::string appURL, std::string workDir)
    : m_officeBinary(std::move(officeBinary))
    , m_bareBinary(std::move(bareBinary))
    , m_appURL(std::move(appURL))
    , m_workDir(std::move(workDir))
{
}

bool StartupComparison::measure(Program program, Figures& figures, int run)
{
    auto fifo = m_workDir + "/loaded-" + std::to_string(run) + (program == Program::office ? "-office" : "-bare");
    if (mkfifo(fifo.c_str(), 0600) != 0)
        return false;
    // Open for reading and writing: the FIFO then never reports an end before the program writes.
    int fd = open(fifo.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;

    std::vector<std::string> arguments;
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry)
        environment.emplace_back(*entry);
    if (program == Program::office) {
        arguments = { m_officeBinary };
        environment.push_back("NORLA_LOAD_LOG=" + fifo);
    } else {
        arguments = { m_bareBinary, m_appURL, fifo };
    }
    auto pointers = [](std::vector<std::string>& strings) {
        std::vector<char*> result;
        result.reserve(strings.size() + 1);
        for (auto& string : strings)
            result.push_back(string.data());
        result.push_back(nullptr);
        return result;
    };
    auto argv = pointers(arguments);
    auto envp = pointers(environment);
    GPid pid = 0;
    GErrorPtr error;
    if (!g_spawn_async(
            nullptr, argv.data(), envp.data(), G_SPAWN_DO_NOT_REAP_CHILD, nullptr, nullptr, &pid, GErrorOut(error))) {
        std::fprintf(stderr, "start-up: %s\n", error->message);
        close(fd);
        return false;
    }
    pollfd waiting { fd, POLLIN, 0 };
    int ready = 0;
    do
        ready = poll(&waiting, 1, loadTimeoutMilliseconds);
    while (ready < 0 && errno == EINTR);
    double loadedAt = nowSinceBoot();
    bool loaded = ready == 1;
    if (loaded) {
        figures.milliseconds = (loadedAt - startSinceBoot(pid)) * 1000;
        long kib = 0;
        for (auto member : processTree(pid))
            kib += residentKiB(member);
        figures.residentMiB = static_cast<double>(kib) / 1024;
    }
    endTree(processTree(pid));
    g_spawn_close_pid(pid);
    close(fd);
    std::filesystem::remove(fifo);
    return loaded;
}

bool StartupComparison::runAndPrint(int runs)
{
    std::vector<Figures> office;
    std::vector<Figures> bare;
    for (int run = 0; run < runs; ++run) {
        Figures figures;
        if (measure(Program::office, figures, run))
            office.push_back(figures);
        else
            std::fprintf(stderr, "norla-office start-up run %d failed\n", run + 1);
        if (measure(Program::bare, figures, run))
            bare.push_back(figures);
        else
            std::fprintf(stderr, "bare window start-up run %d failed\n", run + 1);
    }
    if (office.empty() || bare.empty())
        return false;
    auto medianOf = [](const std::vector<Figures>& all, double Figures::*field) {
        std::vector<double> values;
        values.reserve(all.size());
        for (const auto& figures : all)
            values.push_back(figures.*field);
        return median(values);
    };
    double officeTime = medianOf(office, &Figures::milliseconds);
    double bareTime = medianOf(bare, &Figures::milliseconds);
    double officeMemory = medianOf(office, &Figures::residentMiB);
    double bareMemory = medianOf(bare, &Figures::residentMiB);
    std::printf("start-up to first finished load of %s, median of %zu and %zu runs: norla-office %.0f ms, bare "
                "WebKitGTK window %.0f ms, ratio %.2f (target <= 1.10)\n",
        m_appURL.c_str(), office.size(), bare.size(), officeTime, bareTime, officeTime / bareTime);
    std::printf("resident memory of the process tree at that moment: norla-office %.1f MiB, bare WebKitGTK window "
                "%.1f MiB, ratio %.2f\n",
        officeMemory, bareMemory, officeMemory / bareMemory);
    return true;
}

} // namespace norla::bench
