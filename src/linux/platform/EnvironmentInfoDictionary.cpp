#include "platform/EnvironmentInfoDictionary.h"

#include <glib.h>

#include <string>

namespace norla {

std::optional<Value> EnvironmentInfoDictionary::value(std::string_view key) const
{
    if (key.empty() || key.find('=') != std::string_view::npos)
        return std::nullopt;
    const char* text = g_getenv(std::string(key).c_str());
    if (!text)
        return std::nullopt;
    return Value(std::string(text));
}

} // namespace norla
