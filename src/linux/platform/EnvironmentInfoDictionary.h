#pragma once

#include "platform/InfoDictionary.h"

namespace norla {

// The Info dictionary on Linux: each key is an environment variable of the process (`NorlaAppURL`).
// A set variable is a string value, an empty one included; an unset one is no value.
class EnvironmentInfoDictionary final : public InfoDictionary {
public:
    std::optional<Value> value(std::string_view key) const override;
};

} // namespace norla
