#pragma once

#include "platform/Error.h"

#include <cassert>
#include <stdexcept>
#include <utility>
#include <variant>

namespace norla {

// A value or an error. Reading the wrong side is a programming error and throws std::logic_error.
template <class T> class [[nodiscard]] Result {
public:
    Result(T value) // NOLINT(google-explicit-constructor): `return value;` reads naturally
        : m_storage(std::in_place_index<0>, std::move(value))
    {
    }
    Result(Error error) // NOLINT(google-explicit-constructor)
        : m_storage(std::in_place_index<1>, std::move(error))
    {
    }

    bool ok() const { return m_storage.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() &
    {
        check(true);
        return std::get<0>(m_storage);
    }
    const T& value() const&
    {
        check(true);
        return std::get<0>(m_storage);
    }
    T&& value() &&
    {
        check(true);
        return std::get<0>(std::move(m_storage));
    }
    const Error& error() const
    {
        check(false);
        return std::get<1>(m_storage);
    }
    // The value, or the error thrown as ErrorException.
    T valueOrThrow() &&
    {
        if (!ok())
            throw ErrorException(std::get<1>(m_storage));
        return std::get<0>(std::move(m_storage));
    }

private:
    void check(bool wantValue) const
    {
        if (ok() != wantValue)
            throw std::logic_error(wantValue ? "Result holds an error" : "Result holds a value");
    }
    std::variant<T, Error> m_storage;
};

template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) // NOLINT(google-explicit-constructor)
        : m_error(std::move(error))
        , m_failed(true)
    {
    }
    static Result success() { return {}; }

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const Error& error() const
    {
        if (!m_failed)
            throw std::logic_error("Result holds no error");
        return m_error;
    }
    void valueOrThrow() const
    {
        if (m_failed)
            throw ErrorException(m_error);
    }

private:
    Error m_error;
    bool m_failed = false;
};

} // namespace norla
