#pragma once

#include <pulse/simple.h>

#include <memory>

namespace norla {

// Owner of a PulseAudio simple-API connection; freeing it also ends its stream.
struct PulseSimpleDeleter {
    void operator()(pa_simple* connection) const { pa_simple_free(connection); }
};

using PulseSimplePtr = std::unique_ptr<pa_simple, PulseSimpleDeleter>;

} // namespace norla
