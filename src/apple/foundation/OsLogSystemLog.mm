#include "foundation/OsLogSystemLog.h"

#include "app/BuildConfiguration.h"

#include <string>

namespace norla {

OsLogSystemLog::OsLogSystemLog()
    : m_log(os_log_create(std::string(build::applicationIdentifier).c_str(), "shell"))
{
}

void OsLogSystemLog::write(std::string_view line)
{
    std::string text(line);
    // The format must be a literal; without %{public}s the text would show as <private>.
    os_log(m_log, "%{public}s", text.c_str());
}

} // namespace norla
