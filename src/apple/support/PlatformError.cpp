#include "support/PlatformError.h"

#include <string>

namespace norla {

Error platformError(std::string_view domain, long code, std::string_view localizedDescription)
{
    std::string description(localizedDescription);
    if (description.empty())
        description = std::string(domain) + " エラー " + std::to_string(code);
    return Error(std::string(domain), static_cast<int>(code), std::move(description));
}

Error platformFailure(std::string_view what, long status)
{
    std::string description(what);
    if (status != 0)
        description += " (" + std::to_string(status) + ")";
    return Error::platform(std::move(description), static_cast<int>(status));
}

} // namespace norla
