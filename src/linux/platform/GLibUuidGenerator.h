#pragma once

#include "platform/UuidGenerator.h"

namespace norla {

// Random (version 4) UUIDs from GLib, in lower case.
class GLibUuidGenerator final : public UuidGenerator {
public:
    std::string uuidString() override;
};

} // namespace norla
