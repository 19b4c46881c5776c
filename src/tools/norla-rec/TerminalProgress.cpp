#include "TerminalProgress.h"

#include "ProgressEstimate.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <unistd.h>

namespace norla {

namespace {

    std::atomic<int> progressDescriptor { -1 };

    void writeAll(int fd, std::string_view text)
    {
        while (!text.empty()) {
            auto written = ::write(fd, text.data(), text.size());
            if (written <= 0)
                return; // a terminal that went away: progress is not worth failing for
            text.remove_prefix(static_cast<std::size_t>(written));
        }
    }

    // Back to the line's start and clear it, so a shorter line leaves nothing of a longer one.
    constexpr std::string_view clearLine = "\r\x1b[K";

} // namespace

bool TerminalProgress::showOn(int fd)
{
    bool terminal = ::isatty(fd) == 1;
    progressDescriptor = terminal ? fd : -1;
    return terminal;
}

bool TerminalProgress::isShown() { return progressDescriptor >= 0; }

TerminalProgress::TerminalProgress(std::string label, Fraction fraction)
    : m_label(std::move(label))
    , m_fraction(std::move(fraction))
{
    if (isShown())
        m_thread = std::jthread([this](std::stop_token stop) { run(std::move(stop)); });
}

TerminalProgress::~TerminalProgress()
{
    if (!m_thread.joinable())
        return;
    m_thread.request_stop();
    m_thread.join();
    writeAll(progressDescriptor, clearLine);
}

void TerminalProgress::run(std::stop_token stop)
{
    auto start = std::chrono::steady_clock::now();
    std::mutex mutex;
    std::condition_variable_any wake;
    std::string shown;
    for (;;) {
        auto estimate = ProgressEstimate::after(m_fraction(), std::chrono::steady_clock::now() - start);
        auto line = estimate.line(m_label);
        if (line != shown) {
            writeAll(progressDescriptor, std::string(clearLine) + line);
            shown = std::move(line);
        }
        std::unique_lock lock(mutex);
        wake.wait_for(lock, stop, redrawInterval, [] { return false; });
        if (stop.stop_requested())
            return;
    }
}

} // namespace norla
