#include "LinuxRecorder.h"

#include "ForwardingQueue.h"

#include "app/BuildConfiguration.h"
#include "platform/GLibUuidGenerator.h"
#include "recording/LinuxRecordingSeams.h"

#include <algorithm>
#include <cctype>

namespace norla::test {

namespace {
    // The recorder's real serial queue, except that a repeating timer of the product's rotation interval fires
    // at the test's own interval instead, so that a test can record across rotations in a few seconds.
    class RotationQueue final : public ForwardingQueue {
    public:
        RotationQueue(std::string label, Duration testInterval)
            : ForwardingQueue(std::move(label))
            , m_testInterval(testInterval)
        {
        }

        Timer scheduleRepeating(Duration delay, Duration interval, std::function<void()> task) override
        {
            const auto productInterval = seconds(MeetingRecorder::rotationInterval);
            if (delay == productInterval && interval == productInterval)
                return inner().scheduleRepeating(m_testInterval, m_testInterval, std::move(task));
            return inner().scheduleRepeating(delay, interval, std::move(task));
        }

    private:
        const Duration m_testInterval;
    };
} // namespace

std::shared_ptr<MeetingRecorder> makeLinuxRecorder(const std::filesystem::path& recordingsDirectory,
    std::shared_ptr<PlatformVersion> platformVersion, std::optional<Duration> rotationInterval)
{
    installLinuxRecordingSeams();
    auto dependencies = MeetingRecorder::Dependencies::live();
    if (rotationInterval) {
        dependencies.queue = std::make_shared<RotationQueue>(
            std::string(build::applicationIdentifier) + ".recorder", *rotationInterval);
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
