#pragma once

#include "platform/UrlOpener.h"

#include <filesystem>
#include <mutex>

namespace norla {

// Stands in for the system opener in end-to-end runs: appends each URL, one per line, to a file and
// reports it opened. No browser is ever started.
class LoggingUrlOpener final : public UrlOpener {
public:
    explicit LoggingUrlOpener(std::filesystem::path logFile);

    void open(const Url& url, CompletionHandler<void(bool opened)> completion) override;

private:
    std::filesystem::path m_logFile;
    std::mutex m_mutex;
};

} // namespace norla
