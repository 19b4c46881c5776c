#include "platform/GLibUuidGenerator.h"

#include "foundation/GUniquePtr.h"

#include <glib.h>

namespace norla {

std::string GLibUuidGenerator::uuidString()
{
    GCharPtr text(g_uuid_string_random());
    return text.get();
}

} // namespace norla
