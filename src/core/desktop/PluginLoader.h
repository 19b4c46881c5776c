#pragma once

#include "desktop/ZivadoDidOrizirProtocol.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

namespace norla {

// A plug-in bundle found on disk (`NSBundle`).
class PluginBundle {
public:
    virtual ~PluginBundle() = default;
    // Loads the bundle's code; false when it cannot be loaded.
    virtual bool load() = 0;
    // An instance of the principal class (plain allocation and `init`); null when there is no principal
    // class or it does not conform to ZivadoDidOrizirProtocol.
    virtual std::unique_ptr<ZivadoDidOrizirProtocol> instantiatePrincipalClass() = 0;
};

// Finds plug-in bundles beside the application (on macOS the main bundle's built-in plug-ins folder; on
// Linux there is none). Installed through Seam<PluginLoader>; without one no plug-ins folder exists.
class PluginLoader {
public:
    static constexpr std::string_view menuBarBundleName = "ZivadoDidOrizir.bundle";

    virtual ~PluginLoader() = default;
    // The main bundle's built-in plug-ins folder, if it has one.
    virtual std::optional<std::filesystem::path> builtInPlugInsPath() const = 0;
    // The bundle at `path`; null when no bundle can be made for it.
    virtual std::unique_ptr<PluginBundle> bundle(const std::filesystem::path& path) = 0;
};

} // namespace norla
