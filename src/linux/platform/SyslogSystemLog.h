#pragma once

#include "platform/SystemLog.h"

#include <mutex>

namespace norla {

// The system log on Linux: each line goes to syslog(3) and to standard error.
class SyslogSystemLog final : public SystemLog {
public:
    explicit SyslogSystemLog(const char* identity = "norla-office");
    ~SyslogSystemLog() override;
    SyslogSystemLog(const SyslogSystemLog&) = delete;
    SyslogSystemLog& operator=(const SyslogSystemLog&) = delete;

    void write(std::string_view line) override;

private:
    std::mutex m_mutex; // keeps lines from different threads whole on standard error
};

} // namespace norla
