#pragma once

#include "platform/Error.h"

#include <string>
#include <string_view>

namespace norla {

// The bridge's own refusals.
enum class BridgeError {
    invalidCall = 1, // from a sub-frame, another host, or a malformed body
    unknownCommand, // a command the handler's table does not know
    unavailable, // the part of the shell that answers the command is not installed in this build
};

std::string_view errorDomain(BridgeError);
std::string errorDescription(BridgeError error);

// "未知の操作です: " followed by the command.
Error unknownCommandError(std::string_view command);
// The description of `unavailable` followed by the command.
Error unavailableError(std::string_view command);

} // namespace norla
