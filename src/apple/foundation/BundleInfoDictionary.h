#pragma once

#include "platform/InfoDictionary.h"

namespace norla {

// The main bundle's Info dictionary (`objectForInfoDictionaryKey:`).
class BundleInfoDictionary final : public InfoDictionary {
public:
    std::optional<Value> value(std::string_view key) const override;
};

} // namespace norla
