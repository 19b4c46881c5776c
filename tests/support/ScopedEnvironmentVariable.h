#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace norla::test {

// Sets (or, with nullptr, removes) an environment variable for the scope and restores what was there.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(const char* name, const char* value)
        : m_name(name)
        , m_old(std::getenv(name) ? std::optional<std::string>(std::getenv(name)) : std::nullopt)
    {
        set(value);
    }
    ~ScopedEnvironmentVariable() { set(m_old ? m_old->c_str() : nullptr); }
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    void set(const char* value) const { value ? ::setenv(m_name.c_str(), value, 1) : ::unsetenv(m_name.c_str()); }

    const std::string m_name;
    const std::optional<std::string> m_old;
};

} // namespace norla::test
