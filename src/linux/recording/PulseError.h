#pragma once

#include "platform/Error.h"

namespace norla {

// A PulseAudio error code as a platform error with PulseAudio's own text (pa_strerror).
Error pulseError(int code);

} // namespace norla
