#include "recording/PulseError.h"

#include <pulse/error.h>

#include <string>

namespace norla {

Error pulseError(int code)
{
    const char* text = pa_strerror(code);
    return Error::platform(text ? std::string(text) : std::string("PulseAudio error ") + std::to_string(code), code);
}

} // namespace norla
