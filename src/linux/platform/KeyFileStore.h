#pragma once

#include "foundation/GRef.h"
#include "platform/KeyValueStore.h"

#include <filesystem>
#include <mutex>

namespace norla {

// The user defaults on Linux: string values in a GKeyFile, written through to disk on every change
// (atomically, by replacing the file). Safe to use from any thread.
class KeyFileStore final : public KeyValueStore {
public:
    // The store of the application: `$XDG_CONFIG_HOME/norla-office/user-defaults.ini`
    // (`~/.config/...` when the variable is unset or not absolute).
    static std::filesystem::path defaultPath();

    explicit KeyFileStore(std::filesystem::path path = defaultPath());

    std::optional<std::string> string(std::string_view key) const override;
    void setString(std::string_view key, std::string_view value) override;
    void remove(std::string_view key) override;

    const std::filesystem::path& path() const { return m_path; }

private:
    void save(); // with m_mutex held

    std::filesystem::path m_path;
    mutable std::mutex m_mutex;
    GRef<GKeyFile> m_file;
};

} // namespace norla
