#include "recording/LinuxRecordingSeams.h"

#include "platform/AudioRecorder.h"
#include "platform/AudioSession.h"
#include "platform/RecordPermission.h"
#include "platform/ScreenCapture.h"
#include "platform/Seams.h"
#include "platform/SystemAudioPlatformVersion.h"
#include "recording/FfmpegMediaComposer.h"
#include "recording/SwrAudioConverter.h"

namespace norla {

namespace {

    // PulseAudio asks no permission of its own; the desktop's portal is not consulted yet.
    class GrantedRecordPermission final : public RecordPermission {
    public:
        void requestRecordPermission(CompletionHandler<void(bool)> completion) override { completion(true); }
    };

    // Linux has no process-wide audio session to configure: every call succeeds.
    class InactiveAudioSession final : public AudioSession {
    public:
        Result<void> setCategory(AudioSessionCategory, AudioSessionMode, std::uint32_t) override { return {}; }
        Result<void> setActive(bool, std::uint32_t) override { return {}; }
    };

    class UnbuiltAudioRecorders final : public AudioRecorders {
    public:
        Result<std::unique_ptr<AudioRecorder>> makeRecorder(
            const std::filesystem::path&, const AudioFileSettings&) override
        {
            return Error::platform("Microphone recording through PulseAudio is not built yet.");
        }
    };

    class UnbuiltScreenCapture final : public ScreenCapture {
    public:
        void getShareableContent(CompletionHandler<void(Result<ShareableContent>)> completion) override
        {
            completion(Error::platform("System audio capture through PulseAudio is not built yet."));
        }
        std::shared_ptr<CaptureStream> makeStream(
            const ContentFilter&, const StreamConfiguration&, std::weak_ptr<StreamDelegate>) override
        {
            return nullptr;
        }
    };

} // namespace

void installLinuxRecordingSeams()
{
    Seam<RecordPermission>::install(std::make_shared<GrantedRecordPermission>());
    Seam<PlatformVersion>::install(std::make_shared<SystemAudioPlatformVersion>());
    Seam<AudioSession>::install(std::make_shared<InactiveAudioSession>());
    Seam<AudioRecorders>::install(std::make_shared<UnbuiltAudioRecorders>());
    Seam<ScreenCapture>::install(std::make_shared<UnbuiltScreenCapture>());
    Seam<AudioConverters>::install(std::make_shared<SwrAudioConverters>());
    Seam<MediaComposer>::install(std::make_shared<FfmpegMediaComposer>());
}

} // namespace norla
