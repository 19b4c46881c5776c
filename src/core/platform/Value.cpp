#include "platform/Value.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace norla {

std::optional<std::int64_t> Value::asInteger() const
{
    if (auto* i = std::get_if<std::int64_t>(&m_storage))
        return *i;
    if (auto* d = std::get_if<double>(&m_storage)) {
        // Only doubles that are whole numbers inside the int64 range count as integers.
        if (std::isfinite(*d) && std::trunc(*d) == *d && *d >= -9.2e18 && *d <= 9.2e18)
            return static_cast<std::int64_t>(*d);
    }
    return std::nullopt;
}

std::optional<double> Value::asDouble() const
{
    if (auto* i = std::get_if<std::int64_t>(&m_storage))
        return static_cast<double>(*i);
    if (auto* d = std::get_if<double>(&m_storage))
        return *d;
    return std::nullopt;
}

const Value* Value::find(std::string_view key) const
{
    auto* object = asObject();
    if (!object)
        return nullptr;
    auto it = object->find(key);
    return it == object->end() ? nullptr : &it->second;
}

namespace {

    void appendQuoted(std::string& out, const std::string& text)
    {
        out += '"';
        for (unsigned char c : text) {
            switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            default:
                if (c < 0x20) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                    out += buffer;
                } else {
                    out += static_cast<char>(c);
                }
            }
        }
        out += '"';
    }

    void appendJSON(std::string& out, const Value& value)
    {
        switch (value.type()) {
        case Value::Type::null:
            out += "null";
            break;
        case Value::Type::boolean:
            out += *value.asBool() ? "true" : "false";
            break;
        case Value::Type::integer:
            out += std::to_string(*value.asInteger());
            break;
        case Value::Type::number: {
            double d = *value.asDouble();
            if (!std::isfinite(d)) {
                out += "null";
                break;
            }
            char buffer[32];
            auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, d);
            out.append(buffer, ec == std::errc() ? end : buffer);
            break;
        }
        case Value::Type::string:
            appendQuoted(out, *value.asString());
            break;
        case Value::Type::array: {
            out += '[';
            bool first = true;
            for (auto& element : *value.asArray()) {
                if (!first)
                    out += ',';
                first = false;
                appendJSON(out, element);
            }
            out += ']';
            break;
        }
        case Value::Type::object: {
            out += '{';
            bool first = true;
            for (auto& [key, element] : *value.asObject()) {
                if (!first)
                    out += ',';
                first = false;
                appendQuoted(out, key);
                out += ':';
                appendJSON(out, element);
            }
            out += '}';
            break;
        }
        }
    }

    class Parser {
    public:
        Parser(std::string_view text, int maxDepth)
            : m_text(text)
            , m_maxDepth(maxDepth)
        {
        }

        std::optional<Value> parseDocument()
        {
            auto value = parseValue(0);
            skipSpace();
            if (!value || m_position != m_text.size())
                return std::nullopt;
            return value;
        }

    private:
        void skipSpace()
        {
            while (m_position < m_text.size()) {
                char c = m_text[m_position];
                if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
                    break;
                ++m_position;
            }
        }
        bool consume(std::string_view word)
        {
            if (m_text.substr(m_position, word.size()) != word)
                return false;
            m_position += word.size();
            return true;
        }

        std::optional<Value> parseValue(int depth)
        {
            if (depth > m_maxDepth)
                return std::nullopt;
            skipSpace();
            if (m_position >= m_text.size())
                return std::nullopt;
            char c = m_text[m_position];
            if (c == '{')
                return parseObject(depth);
            if (c == '[')
                return parseArray(depth);
            if (c == '"') {
                auto text = parseString();
                if (!text)
                    return std::nullopt;
                return Value(std::move(*text));
            }
            if (consume("true"))
                return Value(true);
            if (consume("false"))
                return Value(false);
            if (consume("null"))
                return Value(nullptr);
            return parseNumber();
        }

        std::optional<Value> parseObject(int depth)
        {
            ++m_position;
            Value::Object object;
            skipSpace();
            if (consume("}"))
                return Value(std::move(object));
            while (true) {
                skipSpace();
                if (m_position >= m_text.size() || m_text[m_position] != '"')
                    return std::nullopt;
                auto key = parseString();
                if (!key)
                    return std::nullopt;
                skipSpace();
                if (!consume(":"))
                    return std::nullopt;
                auto member = parseValue(depth + 1);
                if (!member)
                    return std::nullopt;
                object.insert_or_assign(std::move(*key), std::move(*member));
                skipSpace();
                if (consume("}"))
                    return Value(std::move(object));
                if (!consume(","))
                    return std::nullopt;
            }
        }

        std::optional<Value> parseArray(int depth)
        {
            ++m_position;
            Value::Array array;
            skipSpace();
            if (consume("]"))
                return Value(std::move(array));
            while (true) {
                auto element = parseValue(depth + 1);
                if (!element)
                    return std::nullopt;
                array.push_back(std::move(*element));
                skipSpace();
                if (consume("]"))
                    return Value(std::move(array));
                if (!consume(","))
                    return std::nullopt;
            }
        }

        std::optional<unsigned> parseHex4()
        {
            if (m_position + 4 > m_text.size())
                return std::nullopt;
            unsigned code = 0;
            auto [end, ec] = std::from_chars(m_text.data() + m_position, m_text.data() + m_position + 4, code, 16);
            if (ec != std::errc() || end != m_text.data() + m_position + 4)
                return std::nullopt;
            m_position += 4;
            return code;
        }

        static void appendUTF8(std::string& out, unsigned code)
        {
            if (code < 0x80) {
                out += static_cast<char>(code);
            } else if (code < 0x800) {
                out += static_cast<char>(0xC0 | (code >> 6));
                out += static_cast<char>(0x80 | (code & 0x3F));
            } else if (code < 0x10000) {
                out += static_cast<char>(0xE0 | (code >> 12));
                out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (code & 0x3F));
            } else {
                out += static_cast<char>(0xF0 | (code >> 18));
                out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
                out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (code & 0x3F));
            }
        }

        std::optional<std::string> parseString()
        {
            ++m_position;
            std::string out;
            while (m_position < m_text.size()) {
                char c = m_text[m_position++];
                if (c == '"')
                    return out;
                if (static_cast<unsigned char>(c) < 0x20)
                    return std::nullopt;
                if (c != '\\')
                    out += c;
                else if (!parseEscape(out))
                    return std::nullopt;
            }
            return std::nullopt;
        }

        // Appends what the escape after a backslash stands for; false when it is not one of JSON's.
        bool parseEscape(std::string& out)
        {
            if (m_position >= m_text.size())
                return false;
            static constexpr std::string_view escapes = "\"\\/bfnrt";
            static constexpr std::string_view meanings = "\"\\/\b\f\n\r\t";
            char escape = m_text[m_position++];
            if (auto index = escapes.find(escape); index != std::string_view::npos) {
                out += meanings[index];
                return true;
            }
            return escape == 'u' && parseUnicodeEscape(out);
        }

        // A high surrogate must be followed by a low one; a lone one becomes U+FFFD.
        bool parseUnicodeEscape(std::string& out)
        {
            auto code = parseHex4();
            if (!code)
                return false;
            if (*code >= 0xD800 && *code < 0xDC00) {
                if (!consume("\\u")) {
                    appendUTF8(out, 0xFFFD);
                    return true;
                }
                auto low = parseHex4();
                if (!low)
                    return false;
                if (*low >= 0xDC00 && *low < 0xE000) {
                    appendUTF8(out, 0x10000 + ((*code - 0xD800) << 10) + (*low - 0xDC00));
                    return true;
                }
                appendUTF8(out, 0xFFFD);
                appendUTF8(out, *low >= 0xD800 && *low < 0xE000 ? 0xFFFD : *low);
            } else if (*code >= 0xDC00 && *code < 0xE000) {
                appendUTF8(out, 0xFFFD);
            } else {
                appendUTF8(out, *code);
            }
            return true;
        }

        std::optional<Value> parseNumber()
        {
            size_t start = m_position;
            if (m_position < m_text.size() && m_text[m_position] == '-')
                ++m_position;
            auto digits = [&] {
                size_t from = m_position;
                while (m_position < m_text.size() && m_text[m_position] >= '0' && m_text[m_position] <= '9')
                    ++m_position;
                return m_position - from;
            };
            size_t integerDigits = digits();
            if (integerDigits == 0 || (integerDigits > 1 && m_text[m_position - integerDigits] == '0'))
                return std::nullopt;
            bool isInteger = true;
            if (m_position < m_text.size() && m_text[m_position] == '.') {
                ++m_position;
                if (digits() == 0)
                    return std::nullopt;
                isInteger = false;
            }
            if (m_position < m_text.size() && (m_text[m_position] == 'e' || m_text[m_position] == 'E')) {
                ++m_position;
                if (m_position < m_text.size() && (m_text[m_position] == '+' || m_text[m_position] == '-'))
                    ++m_position;
                if (digits() == 0)
                    return std::nullopt;
                isInteger = false;
            }
            const char* first = m_text.data() + start;
            const char* last = m_text.data() + m_position;
            if (isInteger) {
                std::int64_t integer = 0;
                auto [end, ec] = std::from_chars(first, last, integer);
                if (ec == std::errc() && end == last)
                    return Value(integer);
            }
            double number = 0;
            auto [end, ec] = std::from_chars(first, last, number);
            if (end != last || (ec != std::errc() && ec != std::errc::result_out_of_range))
                return std::nullopt;
            if (ec == std::errc::result_out_of_range)
                number = (*first == '-') ? -std::numeric_limits<double>::infinity()
                                         : std::numeric_limits<double>::infinity();
            return Value(number);
        }

        std::string_view m_text;
        size_t m_position = 0;
        int m_maxDepth;
    };

} // namespace

std::string Value::toJSON() const
{
    std::string out;
    appendJSON(out, *this);
    return out;
}

std::optional<Value> Value::fromJSON(std::string_view text, int maxDepth)
{
    return Parser(text, maxDepth).parseDocument();
}

} // namespace norla
