#include "platform/KeyFileStore.h"

#include "foundation/GUniquePtr.h"
#include "platform/SystemLog.h"

#include <glib/gstdio.h>

#include <cstdlib>
#include <string>

namespace norla {

namespace {

    constexpr const char* group = "UserDefaults";

    // GKeyFile keys cannot hold '=', '[', ']', line breaks or outer blanks; our keys ("apns.deviceToken.hex")
    // never do, and anything else is refused rather than silently stored under another key.
    bool isStorableKey(std::string_view key)
    {
        if (key.empty() || key.front() == ' ' || key.back() == ' ')
            return false;
        return key.find_first_of("=[]\n\r") == std::string_view::npos;
    }

} // namespace

std::filesystem::path KeyFileStore::defaultPath()
{
    // Read afresh: g_get_user_config_dir() caches the value of its first call.
    std::filesystem::path base;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && g_path_is_absolute(config))
        base = config;
    else
        base = std::filesystem::path(g_get_home_dir()) / ".config";
    return base / "norla-office" / "user-defaults.ini";
}

KeyFileStore::KeyFileStore(std::filesystem::path path)
    : m_path(std::move(path))
    , m_file(GRef<GKeyFile>::adopt(g_key_file_new()))
{
    GErrorPtr error;
    if (!g_key_file_load_from_file(m_file.get(), m_path.c_str(), G_KEY_FILE_KEEP_COMMENTS, GErrorOut(error))) {
        // A first launch has no file yet; anything else is worth a line, and we start empty.
        if (!g_error_matches(error.get(), G_FILE_ERROR, G_FILE_ERROR_NOENT))
            logLine(std::string("KeyFileStore: ") + error->message);
    }
}

std::optional<std::string> KeyFileStore::string(std::string_view key) const
{
    if (!isStorableKey(key))
        return std::nullopt;
    std::lock_guard lock(m_mutex);
    GCharPtr value(g_key_file_get_string(m_file.get(), group, std::string(key).c_str(), nullptr));
    if (!value)
        return std::nullopt;
    return std::string(value.get());
}

void KeyFileStore::setString(std::string_view key, std::string_view value)
{
    if (!isStorableKey(key)) {
        logLine("KeyFileStore: refused key " + std::string(key));
        return;
    }
    std::lock_guard lock(m_mutex);
    g_key_file_set_string(m_file.get(), group, std::string(key).c_str(), std::string(value).c_str());
    save();
}

void KeyFileStore::remove(std::string_view key)
{
    if (!isStorableKey(key))
        return;
    std::lock_guard lock(m_mutex);
    if (!g_key_file_remove_key(m_file.get(), group, std::string(key).c_str(), nullptr))
        return;
    save();
}

void KeyFileStore::save()
{
    GErrorPtr error;
    if (g_mkdir_with_parents(m_path.parent_path().c_str(), 0700) != 0) {
        logLine("KeyFileStore: cannot create " + m_path.parent_path().string());
        return;
    }
    if (!g_key_file_save_to_file(m_file.get(), m_path.c_str(), GErrorOut(error)))
        logLine(std::string("KeyFileStore: ") + error->message);
}

} // namespace norla
