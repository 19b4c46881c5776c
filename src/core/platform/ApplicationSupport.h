#pragma once

#include <filesystem>

namespace norla {

// The user's application-support directory for this application (on Linux under $XDG_DATA_HOME).
class ApplicationSupport {
public:
    virtual ~ApplicationSupport() = default;
    // An absolute path; the directory may not exist yet.
    virtual std::filesystem::path directory() const = 0;
};

} // namespace norla
