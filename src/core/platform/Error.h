#pragma once

#include <exception>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace norla {

// An error as it reaches the user or the page: the domain and code identify it, the description is the
// text shown (Japanese for our own errors, the platform's own text for platform errors).
class Error {
public:
    Error() = default;
    Error(std::string domain, int code, std::string description)
        : m_domain(std::move(domain))
        , m_code(code)
        , m_description(std::move(description))
    {
    }

    // Our own error enums: each provides `errorDomain(E)` and `errorDescription(E)` found by lookup.
    template <class E>
    requires std::is_enum_v<E>
    static Error from(E value)
    {
        return Error(std::string(errorDomain(value)), static_cast<int>(value), errorDescription(value));
    }
    template <class E>
    requires std::is_enum_v<E>
    static Error from(E value, std::string description)
    {
        return Error(std::string(errorDomain(value)), static_cast<int>(value), std::move(description));
    }
    // A platform failure, passed through with its own text.
    static Error platform(std::string description, int code = 0)
    {
        return Error("platform", code, std::move(description));
    }

    template <class E>
    requires std::is_enum_v<E>
    bool is(E value) const { return m_domain == errorDomain(value) && m_code == static_cast<int>(value); }

    const std::string& domain() const { return m_domain; }
    int code() const { return m_code; }
    const std::string& description() const { return m_description; }

    bool operator==(const Error&) const = default;

private:
    std::string m_domain;
    int m_code = 0;
    std::string m_description;
};

// Thrown where an operation is synchronous and throwing in the system's own shape.
class ErrorException : public std::exception {
public:
    explicit ErrorException(Error error)
        : m_error(std::move(error))
    {
    }
    const Error& error() const { return m_error; }
    const char* what() const noexcept override { return m_error.description().c_str(); }

private:
    Error m_error;
};

} // namespace norla
