#include "recording/PathForm.h"

#include <system_error>

namespace norla {

std::filesystem::path resolvedPathForm(const std::filesystem::path& path)
{
    std::error_code error;
    auto absolute = std::filesystem::absolute(path, error);
    if (error)
        absolute = path;
    auto resolved = std::filesystem::weakly_canonical(absolute, error);
    if (error)
        resolved = absolute;
    resolved = resolved.lexically_normal();
    if (!resolved.has_filename() && resolved.has_parent_path() && resolved != resolved.root_path())
        resolved = resolved.parent_path();
    return resolved;
}

} // namespace norla
