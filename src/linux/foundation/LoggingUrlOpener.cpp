#include "foundation/LoggingUrlOpener.h"

#include "platform/MainExecutor.h"
#include "platform/SystemLog.h"

#include <fstream>

namespace norla {

LoggingUrlOpener::LoggingUrlOpener(std::filesystem::path logFile)
    : m_logFile(std::move(logFile))
{
}

void LoggingUrlOpener::open(const Url& url, CompletionHandler<void(bool opened)> completion)
{
    bool written = false;
    {
        std::lock_guard lock(m_mutex);
        std::ofstream log(m_logFile, std::ios::app);
        log << url.absoluteString << '\n';
        log.flush();
        written = static_cast<bool>(log);
    }
    if (!written)
        logLine("LoggingUrlOpener: cannot write " + m_logFile.string());
    // Like the system's, the answer comes later on the main thread, never on the caller's stack.
    postToMain([completion = std::move(completion), written]() mutable { completion(written); });
}

} // namespace norla
