#pragma once

#include "platform/Error.h"

#include <string_view>

namespace norla {

// An `NSError` as the core sees it: its own domain and code (so that the core recognises the errors it
// knows, such as the sign-in sheet's cancelled login) and its localized description as the text. A
// platform error without a description still says where it came from.
Error platformError(std::string_view domain, long code, std::string_view localizedDescription);

// A failure the platform reported without an error object (a nil result, an OSStatus): `what` failed,
// with the status when there is one.
Error platformFailure(std::string_view what, long status = 0);

} // namespace norla
