#include "RecPlatform.h"

#include "platform/GLibUuidGenerator.h"
#include "platform/Seams.h"
#include "platform/SystemAudioPlatformVersion.h"
#include "platform/XdgApplicationSupport.h"
#include "recording/FfmpegAudioProbe.h"
#include "recording/FfmpegMediaComposer.h"
#include "recording/LinuxRecordingSeams.h"

extern "C" {
#include <libavutil/log.h>
}

namespace norla::RecPlatform {

void installLiveSeams()
{
    installLinuxRecordingSeams();
    Seam<ApplicationSupport>::install(std::make_shared<XdgApplicationSupport>());
    Seam<UuidGenerator>::install(std::make_shared<GLibUuidGenerator>());
    // Failures reach the user as the error's description; FFmpeg's own chatter would only garble that.
    av_log_set_level(AV_LOG_QUIET);
}

std::optional<double> probeDuration(const std::filesystem::path& file) { return FfmpegAudioProbe::duration(file); }

std::shared_ptr<MediaComposer> makeMediaComposer() { return std::make_shared<FfmpegMediaComposer>(); }

std::shared_ptr<PlatformVersion> makePlatformVersion() { return std::make_shared<SystemAudioPlatformVersion>(); }

} // namespace norla::RecPlatform
