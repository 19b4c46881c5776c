#include "platform/SyslogSystemLog.h"

#include <cstdio>
#include <string>
#include <syslog.h>

namespace norla {

SyslogSystemLog::SyslogSystemLog(const char* identity)
{
    // syslog keeps the pointer: the identity must be a string that lives for the process.
    openlog(identity, LOG_PID, LOG_USER);
}

SyslogSystemLog::~SyslogSystemLog() { closelog(); }

void SyslogSystemLog::write(std::string_view line)
{
    std::string text(line);
    syslog(LOG_NOTICE, "%s", text.c_str());
    text.push_back('\n');
    std::lock_guard lock(m_mutex);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

} // namespace norla
