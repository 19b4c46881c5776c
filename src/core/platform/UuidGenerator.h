#pragma once

#include <string>

namespace norla {

// New random UUIDs.
class UuidGenerator {
public:
    virtual ~UuidGenerator() = default;
    // A new UUID in its canonical 36-character text form (8-4-4-4-12 hexadecimal digits, either case).
    virtual std::string uuidString() = 0;
};

} // namespace norla
