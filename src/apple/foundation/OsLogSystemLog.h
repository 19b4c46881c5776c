#pragma once

#include "platform/SystemLog.h"

#import <os/log.h>

namespace norla {

// The unified system log, under the application's subsystem. Lines are public: they carry no personal data.
class OsLogSystemLog final : public SystemLog {
public:
    OsLogSystemLog();
    void write(std::string_view line) override;

private:
    os_log_t m_log;
};

} // namespace norla
