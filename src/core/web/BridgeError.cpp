#include "web/BridgeError.h"

namespace norla {

std::string_view errorDomain(BridgeError) { return "BridgeError"; }

std::string errorDescription(BridgeError error)
{
    switch (error) {
    case BridgeError::invalidCall:
        return "不正な呼び出しです";
    case BridgeError::unknownCommand:
        return "未知の操作です: ";
    case BridgeError::unavailable:
        return "この操作はまだ使えません: ";
    }
    return "不正な呼び出しです";
}

Error unknownCommandError(std::string_view command)
{
    return Error::from(
        BridgeError::unknownCommand, errorDescription(BridgeError::unknownCommand) + std::string(command));
}

Error unavailableError(std::string_view command)
{
    return Error::from(BridgeError::unavailable, errorDescription(BridgeError::unavailable) + std::string(command));
}

} // namespace norla
