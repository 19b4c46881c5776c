#pragma once

#include "platform/ApplicationSupport.h"

namespace norla {

// The application's data directory: $XDG_DATA_HOME/norla-office when that variable holds an absolute
// path, else ~/.local/share/norla-office. Read from the environment at each call.
class XdgApplicationSupport final : public ApplicationSupport {
public:
    std::filesystem::path directory() const override;
};

} // namespace norla
