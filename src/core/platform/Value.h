#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace norla {

// What the bridge carries between page and shell: JSON-shaped data.
class Value {
public:
    using Array = std::vector<Value>;
    using Object = std::map<std::string, Value, std::less<>>;
    enum class Type { null, boolean, integer, number, string, array, object };

    Value() = default;
    Value(std::nullptr_t) { }
    Value(bool v) // NOLINT(google-explicit-constructor): values are built from literals throughout
        : m_storage(v)
    {
    }
    Value(int v) // NOLINT(google-explicit-constructor)
        : m_storage(static_cast<std::int64_t>(v))
    {
    }
    Value(std::int64_t v) // NOLINT(google-explicit-constructor)
        : m_storage(v)
    {
    }
    Value(double v) // NOLINT(google-explicit-constructor)
        : m_storage(v)
    {
    }
    Value(const char* v) // NOLINT(google-explicit-constructor)
        : m_storage(std::string(v))
    {
    }
    Value(std::string v) // NOLINT(google-explicit-constructor)
        : m_storage(std::move(v))
    {
    }
    Value(std::string_view v) // NOLINT(google-explicit-constructor)
        : m_storage(std::string(v))
    {
    }
    Value(Array v) // NOLINT(google-explicit-constructor)
        : m_storage(std::move(v))
    {
    }
    Value(Object v) // NOLINT(google-explicit-constructor)
        : m_storage(std::move(v))
    {
    }

    Type type() const { return static_cast<Type>(m_storage.index()); }
    bool isNull() const { return type() == Type::null; }
    bool isBool() const { return type() == Type::boolean; }
    bool isString() const { return type() == Type::string; }
    bool isObject() const { return type() == Type::object; }
    bool isArray() const { return type() == Type::array; }
    // Integers and doubles alike.
    bool isNumber() const { return type() == Type::integer || type() == Type::number; }

    const bool* asBool() const { return std::get_if<bool>(&m_storage); }
    const std::string* asString() const { return std::get_if<std::string>(&m_storage); }
    const Array* asArray() const { return std::get_if<Array>(&m_storage); }
    const Object* asObject() const { return std::get_if<Object>(&m_storage); }
    Object* asObject() { return std::get_if<Object>(&m_storage); }
    std::optional<std::int64_t> asInteger() const;
    std::optional<double> asDouble() const;

    // The member under `key` of an object; null for a missing key or a value that is not an object.
    const Value* find(std::string_view key) const;

    // JSON text. Non-finite doubles become null.
    std::string toJSON() const;
    // Strict JSON (RFC 8259); nothing for malformed text or nesting deeper than maxDepth.
    static std::optional<Value> fromJSON(std::string_view text, int maxDepth = 256);

    bool operator==(const Value&) const = default;

private:
    std::variant<std::nullptr_t, bool, std::int64_t, double, std::string, Array, Object> m_storage;
};

} // namespace norla
