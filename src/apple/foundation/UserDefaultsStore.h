#pragma once

#include "platform/KeyValueStore.h"

namespace norla {

// The standard user defaults.
class UserDefaultsStore final : public KeyValueStore {
public:
    std::optional<std::string> string(std::string_view key) const override;
    void setString(std::string_view key, std::string_view value) override;
    void remove(std::string_view key) override;
};

} // namespace norla
