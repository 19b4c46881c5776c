#include "LinuxRecorder.h"

#include "RotationQueue.h"

#include "app/BuildConfiguration.h"
#include "platform/GLibUuidGenerator.h"
#include "platform/Seams.h"
#include "platform/SerialQueue.h"
#include "recording/LinuxRecordingSeams.h"
#include "recording/PulseAudioRecorders.h"
#include "recording/PulseScreenCapture.h"

#include <algorithm>
#include <cctype>

namespace norla::test {

std::shared_ptr<MeetingRecorder> makeLinuxRecorder(const LinuxRecorderOptions& options)
{
    std::string identifier(build::applicationIdentifier);
    auto clock = std::make_shared<SteadyClock>();
    MeetingRecorder::Dependencies dependencies;
    if (options.rotationInterval) {
        dependencies.queue = std::make_shared<RotationQueue>(
            identifier + ".recorder", seconds(MeetingRecorder::rotationInterval), *options.rotationInterval);
    } else {
        dependencies.queue = std::make_shared<SerialQueue>(identifier + ".recorder");
    }
    dependencies.tasks = std::make_shared<ThreadBackgroundExecutor>();
    // The product's seams, but for the servers the options name and the recorder's own queue.
    auto live = makeLinuxRecordingBackend();
    dependencies.recordPermission = live.recordPermission;
    dependencies.platformVersion = options.platformVersion ? options.platformVersion : live.platformVersion;
    dependencies.audioSession = live.audioSession;
    dependencies.audioRecorders = std::make_shared<PulseAudioRecorders>(
        clock, std::string(PulseAudioRecorder::defaultSource), options.segmentServer);
    dependencies.noticePresenter = options.noticePresenter;
    dependencies.mediaComposer = live.mediaComposer;
    dependencies.capture.screenCapture
        = std::make_shared<PulseScreenCapture>(clock, PulseCaptureStream::Sources { options.captureServer });
    dependencies.capture.converters = live.audioConverters;
    dependencies.capture.makeQueue = [identifier] { return std::make_shared<SerialQueue>(identifier + ".capture"); };
    dependencies.capture.fileHandles = seam<FileHandles>();
    dependencies.capture.writer = seam<AudioFileWriter>();
    dependencies.sessionClaims = seam<SessionClaims>();
    auto root = options.recordingsDirectory;
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
