#pragma once

#include <filesystem>
#include <string>

namespace norla::test {

// A path, or any other text, as one word of a shell command (for tests that run programs through the shell).
inline std::string shellQuoted(const std::filesystem::path& text)
{
    std::string quoted = "'";
    for (char c : text.string())
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace norla::test
