#include "foundation/FileManagerApplicationSupport.h"

#include "app/BuildConfiguration.h"
#include "foundation/FoundationConversions.h"

namespace norla {

std::filesystem::path FileManagerApplicationSupport::directory() const
{
    NSArray<NSURL*>* urls = [[NSFileManager defaultManager] URLsForDirectory:NSApplicationSupportDirectory
                                                                   inDomains:NSUserDomainMask];
    NSURL* first = urls.firstObject;
    if (first)
        return std::filesystem::path(toString(first.path)) / std::string(build::applicationIdentifier);
    // The file manager always has one for the user domain; the home folder's is the documented place.
    return std::filesystem::path(toString(NSHomeDirectory())) / "Library" / "Application Support"
        / std::string(build::applicationIdentifier);
}

} // namespace norla
