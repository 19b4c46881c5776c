#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace norla {

// Modifier flags of a key command, as UIKit numbers them (`UIKeyModifierFlags`).
namespace KeyModifierFlags {
    inline constexpr std::uint32_t shift = 1U << 17;
    inline constexpr std::uint32_t control = 1U << 18;
    inline constexpr std::uint32_t alternate = 1U << 19;
    inline constexpr std::uint32_t command = 1U << 20;
} // namespace KeyModifierFlags

// What a `UIKeyCommand` is made of: the key's input text and its modifiers.
struct KeyShortcut {
    std::string input;
    std::uint32_t modifierFlags = 0;
    bool operator==(const KeyShortcut&) const = default;
};

// The Command shortcut of a menu command's key. Key commands match lower-case input, so an upper-case
// letter becomes its lower-case input with Shift. Nothing for no key or a key that is not printable.
std::optional<KeyShortcut> keyShortcut(std::optional<char> key);

} // namespace norla
