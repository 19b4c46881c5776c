#include "LinuxRecorder.h"

#include "RotationQueue.h"

#include "app/BuildConfiguration.h"
#include "platform/FileHandle.h"
#include "platform/GLibUuidGenerator.h"
#include "platform/PosixFileHandles.h"
#include "platform/PosixSessionClaims.h"
#include "platform/PulsePlatformVersion.h"
#include "platform/Seams.h"
#include "platform/SerialQueue.h"
#include "recording/FfmpegAudioFileWriter.h"
#include "recording/FfmpegMediaComposer.h"
#include "recording/PulseAudioRecorders.h"
#include "recording/PulseAudioSession.h"
#include "recording/PulseRecordPermission.h"
#include "recording/PulseScreenCapture.h"
#include "recording/SwrAudioConverter.h"

#include <algorithm>
#include <cctype>

namespace norla::test {

void installRecordingTestSeams()
{
    Seam<FileHandles>::install(std::make_shared<PosixFileHandles>());
    Seam<SessionClaims>::install(std::make_shared<PosixSessionClaims>());
    Seam<AudioFileWriter>::install(std::make_shared<FfmpegAudioFileWriter>());
}

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
    dependencies.recordPermission = std::make_shared<PulseRecordPermission>();
    dependencies.platformVersion
        = options.platformVersion ? options.platformVersion : std::make_shared<PulsePlatformVersion>();
    dependencies.audioSession = std::make_shared<PulseAudioSession>();
    dependencies.audioRecorders = std::make_shared<PulseAudioRecorders>(
        clock, std::string(PulseAudioRecorder::defaultSource), options.segmentServer);
    dependencies.noticePresenter = options.noticePresenter;
    dependencies.mediaComposer = std::make_shared<FfmpegMediaComposer>();
    dependencies.capture.screenCapture
        = std::make_shared<PulseScreenCapture>(clock, PulseCaptureStream::Sources { options.captureServer });
    dependencies.capture.converters = std::make_shared<SwrAudioConverters>();
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
