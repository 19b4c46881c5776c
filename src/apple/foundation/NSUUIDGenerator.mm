#include "foundation/NSUUIDGenerator.h"

#include "foundation/FoundationConversions.h"

namespace norla {

std::string NSUUIDGenerator::uuidString() { return toString([NSUUID UUID].UUIDString); }

} // namespace norla
