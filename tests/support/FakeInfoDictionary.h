#pragma once

#include "platform/InfoDictionary.h"

#include <map>
#include <string>

namespace norla::test {

class FakeInfoDictionary final : public InfoDictionary {
public:
    std::optional<Value> value(std::string_view key) const override
    {
        auto found = values.find(key);
        if (found == values.end())
            return std::nullopt;
        return found->second;
    }

    std::map<std::string, Value, std::less<>> values;
};

} // namespace norla::test
