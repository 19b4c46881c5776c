#include "platform/SystemLog.h"

#include "platform/Seams.h"

#include <iostream>

namespace norla {

void logLine(std::string_view line)
{
    if (auto log = Seam<SystemLog>::find()) {
        log->write(line);
        return;
    }
    std::cerr << line << '\n';
}

} // namespace norla
