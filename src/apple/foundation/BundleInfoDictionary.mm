#include "foundation/BundleInfoDictionary.h"

#include "foundation/FoundationConversions.h"

namespace norla {

std::optional<Value> BundleInfoDictionary::value(std::string_view key) const
{
    id object = [[NSBundle mainBundle] objectForInfoDictionaryKey:toNSString(key)];
    if (!object)
        return std::nullopt;
    return toValue(object);
}

} // namespace norla
