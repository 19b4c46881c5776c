#include "support/KeyShortcut.h"

namespace norla {

std::optional<KeyShortcut> keyShortcut(std::optional<char> key)
{
    if (!key || *key <= ' ' || *key > '~')
        return std::nullopt;
    char input = *key;
    std::uint32_t flags = KeyModifierFlags::command;
    if (input >= 'A' && input <= 'Z') {
        input = static_cast<char>(input - 'A' + 'a');
        flags |= KeyModifierFlags::shift;
    }
    return KeyShortcut { std::string(1, input), flags };
}

} // namespace norla
