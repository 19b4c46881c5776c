#pragma once

#include <chrono>
#include <functional>
#include <stop_token>
#include <string>
#include <thread>

namespace norla {

// A progress line on a terminal, redrawn in place a few times a second by a thread of its own while the
// work runs, and erased when it ends. Shown only on the stream the program chose with `showOn`, which it
// does only for a terminal: in a pipe or a file nothing is written, so scripts see only the results.
class TerminalProgress {
public:
    // How much of the work is done, 0 to 1; called on the progress thread.
    using Fraction = std::function<double()>;

    static constexpr std::chrono::milliseconds redrawInterval { 200 };

    // Progress goes to `fd` from now on when it is a terminal; answers whether it is.
    static bool showOn(int fd);
    static bool isShown();

    // Starts showing `label`'s progress when progress is shown at all.
    TerminalProgress(std::string label, Fraction fraction);
    // Stops and erases the line, so that what follows starts on a clean line.
    ~TerminalProgress();
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

private:
    void run(std::stop_token stop);

    std::string m_label;
    Fraction m_fraction;
    std::jthread m_thread;
};

} // namespace norla
