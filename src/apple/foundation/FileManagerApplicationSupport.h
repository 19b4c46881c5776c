#pragma once

#include "platform/ApplicationSupport.h"

namespace norla {

// The application's folder in the user's Application Support directory (inside the sandbox container when
// sandboxed), named after the application identifier.
class FileManagerApplicationSupport final : public ApplicationSupport {
public:
    std::filesystem::path directory() const override;
};

} // namespace norla
