#pragma once

#include "platform/KeyValueStore.h"

#include <map>
#include <mutex>

namespace norla::test {

// User defaults in memory, safe from any thread like the real ones.
class FakeKeyValueStore final : public KeyValueStore {
public:
    std::optional<std::string> string(std::string_view key) const override
    {
        std::lock_guard lock(m_mutex);
        auto found = m_values.find(key);
        return found == m_values.end() ? std::nullopt : std::optional(found->second);
    }
    void setString(std::string_view key, std::string_view value) override
    {
        std::lock_guard lock(m_mutex);
        m_values.insert_or_assign(std::string(key), value);
    }
    void remove(std::string_view key) override
    {
        std::lock_guard lock(m_mutex);
        m_values.erase(std::string(key));
    }

private:
    mutable std::mutex m_mutex;
    std::map<std::string, std::string, std::less<>> m_values;
};

} // namespace norla::test
