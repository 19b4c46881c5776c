#pragma once

#include <string>
#include <vector>

namespace norla::bench {

// Start-up of norla-office against a bare WebKitGTK window loading the same page: for each, the time from
// process start to the first finished load and the resident memory of its process tree (the program and
// WebKit's web and network processes) at that moment. Both are fresh processes, measured the same way
// from outside: each writes the loaded address to a FIFO, this process reads the clock and /proc and then
// ends the program.
class StartupComparison {
public:
    struct Figures {
        double milliseconds = 0;
        double residentMiB = 0;
    };

    StartupComparison(std::string officeBinary, std::string bareBinary, std::string appURL, std::string workDir);

    // Runs `runs` start-ups of each, alternating, and prints the medians and their ratios.
    bool runAndPrint(int runs);

private:
    enum class Program { office, bare };
    bool measure(Program program, Figures& figures, int run);

    std::string m_officeBinary;
    std::string m_bareBinary;
    std::string m_appURL;
    std::string m_workDir;
};

} // namespace norla::bench
