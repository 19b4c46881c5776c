#include "platform/XdgApplicationSupport.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace norla {

namespace {

    constexpr const char* applicationFolder = "norla-office";

    std::filesystem::path homeDirectory()
    {
        if (const char* home = std::getenv("HOME"); home && *home == '/')
            return home;
        // Without a usable $HOME, the account database knows the home directory.
        std::vector<char> storage(16384);
        passwd entry {};
        passwd* found = nullptr;
        if (::getpwuid_r(::getuid(), &entry, storage.data(), storage.size(), &found) == 0 && found && found->pw_dir)
            return found->pw_dir;
        return "/";
    }

} // namespace

std::filesystem::path XdgApplicationSupport::directory() const
{
    if (const char* dataHome = std::getenv("XDG_DATA_HOME"); dataHome && *dataHome == '/')
        return std::filesystem::path(dataHome) / applicationFolder;
    return homeDirectory() / ".local" / "share" / applicationFolder;
}

} // namespace norla
