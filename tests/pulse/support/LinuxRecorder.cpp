#include "LinuxRecorder.h"

#include "RotationQueue.h"

#include "app/BuildConfiguration.h"
#include "platform/GLibUuidGenerator.h"
#include "recording/LinuxRecordingSeams.h"

#include <algorithm>
#include <cctype>

namespace norla::test {

std::shared_ptr<MeetingRecorder> makeLinuxRecorder(const std::filesystem::path& recordingsDirectory,
    std::shared_ptr<PlatformVersion> platformVersion, std::optional<Duration> rotationInterval)
{
    installLinuxRecordingSeams();
    auto dependencies = MeetingRecorder::Dependencies::live();
    if (rotationInterval) {
        dependencies.queue = std::make_shared<RotationQueue>(std::string(build::applicationIdentifier) + ".recorder",
            seconds(MeetingRecorder::rotationInterval), *rotationInterval);
    }
    if (platformVersion)
        dependencies.platformVersion = std::move(platformVersion);
    auto root = recordingsDirectory;
    dependencies.recordingsDirectory = [root] { return root; };
    dependencies.createSessionDirectory = [root]() -> Result<std::filesystem::path> {
        auto name = GLibUuidGenerator().uuidString();
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        std::error_code error;
        std::filesystem::create_directories(root / name, error);
        if (error)
            return Error::platform(error.message());
        return root / name;
    };
    return MeetingRecorder::make(std::move(dependencies));
}

} // namespace norla::test
