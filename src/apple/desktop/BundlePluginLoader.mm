#include "desktop/BundlePluginLoader.h"

#include "desktop/NorlaPluginProtocol.h"
#include "desktop/ZivadoDidOrizirPlugin.h"
#include "foundation/FoundationConversions.h"
#include "platform/SystemLog.h"

namespace norla {

namespace {

    class NSBundlePlugin final : public PluginBundle {
    public:
        explicit NSBundlePlugin(NSBundle* bundle)
            : m_bundle(bundle)
        {
        }

        bool load() override
        {
            NSError* error = nil;
            if ([m_bundle loadAndReturnError:&error] == YES)
                return true;
            logLine("BundlePluginLoader: " + toError(error).description());
            return false;
        }

        std::unique_ptr<ZivadoDidOrizirProtocol> instantiatePrincipalClass() override
        {
            Class principal = m_bundle.principalClass;
            if (!principal || ![principal conformsToProtocol:@protocol(ZivadoDidOrizirProtocol)])
                return nullptr;
            id<ZivadoDidOrizirProtocol> instance = [(id<ZivadoDidOrizirProtocol>)[principal alloc] init];
            if (!instance)
                return nullptr;
            return std::make_unique<ZivadoDidOrizirPlugin>(instance);
        }

    private:
        NSBundle* m_bundle;
    };

} // namespace

std::optional<std::filesystem::path> BundlePluginLoader::builtInPlugInsPath() const
{
    NSURL* url = [NSBundle mainBundle].builtInPlugInsURL;
    if (!url || !url.path)
        return std::nullopt;
    return std::filesystem::path(toString(url.path));
}

std::unique_ptr<PluginBundle> BundlePluginLoader::bundle(const std::filesystem::path& path)
{
    NSBundle* bundle = [NSBundle bundleWithURL:toFileURL(path)];
    if (!bundle)
        return nullptr;
    return std::make_unique<NSBundlePlugin>(bundle);
}

} // namespace norla
