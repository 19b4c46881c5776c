#include "RecPlatform.h"

#include "app/BuildConfiguration.h"
#include "foundation/FoundationConversions.h"
#include "foundation/NSFileHandles.h"
#include "foundation/NSUUIDGenerator.h"
#include "platform/ApplicationSupport.h"
#include "platform/Await.h"
#include "platform/Seams.h"
#include "recording/AVAudioFileWriter.h"
#include "recording/AVMediaComposer.h"
#include "support/FlockSessionClaims.h"

#include <string>
#include <system_error>

namespace norla::RecPlatform {

namespace {

    // The application is sandboxed: its data directory lies in its container. norla-rec is not, so it
    // reads the container's folder where the application has one, else its own Application Support.
    class ContainerApplicationSupport final : public ApplicationSupport {
    public:
        std::filesystem::path directory() const override
        {
            std::string identifier(build::applicationIdentifier);
            std::filesystem::path library = std::filesystem::path(toString(NSHomeDirectory())) / "Library";
            auto container
                = library / "Containers" / identifier / "Data" / "Library" / "Application Support" / identifier;
            std::error_code ignored;
            if (std::filesystem::is_directory(container, ignored))
                return container;
            return library / "Application Support" / identifier;
        }
    };

    // Finishing recordings never starts one, so the version gates nothing here.
    class AnyPlatformVersion final : public PlatformVersion {
    public:
        bool isAtLeast(int, int) const override { return true; }
    };

} // namespace

void installLiveSeams()
{
    Seam<FileHandles>::install(std::make_shared<NSFileHandles>());
    Seam<SessionClaims>::install(std::make_shared<FlockSessionClaims>());
    Seam<AudioFileWriter>::install(std::make_shared<AVAudioFileWriter>());
    Seam<ApplicationSupport>::install(std::make_shared<ContainerApplicationSupport>());
    Seam<UuidGenerator>::install(std::make_shared<NSUUIDGenerator>());
}

std::optional<double> probeDuration(const std::filesystem::path& file)
{
    // The asset answers on a queue of its own: this command-line thread waits for it.
    auto asset = AVMediaComposer().makeAsset(file);
    auto duration
        = awaitCompletion<Result<MediaTime>>([&](auto completion) { asset->loadDuration(std::move(completion)); });
    if (!duration)
        return std::nullopt;
    return duration.value().seconds();
}

std::shared_ptr<MediaComposer> makeMediaComposer() { return std::make_shared<AVMediaComposer>(); }

std::shared_ptr<PlatformVersion> makePlatformVersion() { return std::make_shared<AnyPlatformVersion>(); }

} // namespace norla::RecPlatform
