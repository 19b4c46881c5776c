#pragma once

#include "platform/Value.h"

#include <optional>
#include <string_view>

namespace norla {

// The application's Info dictionary (on Linux: the process environment).
class InfoDictionary {
public:
    virtual ~InfoDictionary() = default;
    virtual std::optional<Value> value(std::string_view key) const = 0;
};

} // namespace norla
