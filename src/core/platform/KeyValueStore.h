#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace norla {

// The user defaults: small string values kept across launches. Safe to use from any thread.
class KeyValueStore {
public:
    virtual ~KeyValueStore() = default;
    // `stringForKey:`; nothing when the key is absent.
    virtual std::optional<std::string> string(std::string_view key) const = 0;
    // `setObject:forKey:` with a string.
    virtual void setString(std::string_view key, std::string_view value) = 0;
    // `removeObjectForKey:`; removing an absent key does nothing.
    virtual void remove(std::string_view key) = 0;
};

} // namespace norla
