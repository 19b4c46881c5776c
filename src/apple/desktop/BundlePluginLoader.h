#pragma once

#include "desktop/PluginLoader.h"

namespace norla {

// Plug-in bundles in the main bundle's built-in plug-ins folder (Contents/PlugIns), loaded with NSBundle;
// the principal class is wrapped for the core's plug-in interface.
class BundlePluginLoader final : public PluginLoader {
public:
    std::optional<std::filesystem::path> builtInPlugInsPath() const override;
    std::unique_ptr<PluginBundle> bundle(const std::filesystem::path& path) override;
};

} // namespace norla
