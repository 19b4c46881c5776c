#include "foundation/UserDefaultsStore.h"

#include "foundation/FoundationConversions.h"

namespace norla {

std::optional<std::string> UserDefaultsStore::string(std::string_view key) const
{
    NSString* value = [[NSUserDefaults standardUserDefaults] stringForKey:toNSString(key)];
    if (!value)
        return std::nullopt;
    return toString(value);
}

void UserDefaultsStore::setString(std::string_view key, std::string_view value)
{
    [[NSUserDefaults standardUserDefaults] setObject:toNSString(value) forKey:toNSString(key)];
}

void UserDefaultsStore::remove(std::string_view key)
{
    [[NSUserDefaults standardUserDefaults] removeObjectForKey:toNSString(key)];
}

} // namespace norla
