#pragma once

#include "platform/UuidGenerator.h"

namespace norla {

class NSUUIDGenerator final : public UuidGenerator {
public:
    std::string uuidString() override;
};

} // namespace norla
