#pragma once

#include "platform/Error.h"

#include <string>
#include <string_view>

namespace norla {

// Why the system-audio capture could not run, or why its recording holds nothing.
enum class CaptureError {
    permissionDenied, // carries the platform's reason as its detail text
    noDisplay,
    empty,
};

std::string_view errorDomain(CaptureError);
// The user-facing text; `detail` follows the text of `permissionDenied` and is ignored otherwise.
std::string errorDescription(CaptureError, std::string_view detail = {});

// The error, with the detail text where the case carries one.
Error captureError(CaptureError, std::string_view detail = {});

} // namespace norla
