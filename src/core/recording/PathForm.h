#pragma once

#include <filesystem>

namespace norla {

// One form for comparing paths of the recordings directory: absolute, symbolic links resolved as far as
// the path exists, "." and ".." removed, and no trailing separator.
std::filesystem::path resolvedPathForm(const std::filesystem::path& path);

} // namespace norla
