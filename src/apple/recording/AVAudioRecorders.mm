#include "recording/AVAudioRecorders.h"

#include "foundation/FoundationConversions.h"
#include "recording/AVAudioFormats.h"

#import <AVFoundation/AVFoundation.h>

namespace norla {

namespace {

    class AVAudioRecorderAdapter final : public AudioRecorder {
    public:
        explicit AVAudioRecorderAdapter(AVAudioRecorder* recorder)
            : m_recorder(recorder)
        {
        }
        ~AVAudioRecorderAdapter() override { [m_recorder stop]; }
        AVAudioRecorderAdapter(const AVAudioRecorderAdapter&) = delete;
        AVAudioRecorderAdapter& operator=(const AVAudioRecorderAdapter&) = delete;

        bool record() override { return [m_recorder record] == YES; }
        void stop() override { [m_recorder stop]; }
        // Not wired yet: the recorder's delegate (audioRecorderEncodeErrorDidOccur:error:) would call it, and
        // the framework stubs do not declare that protocol so far.
        void setFailureHandler(FailureHandler) override { }

    private:
        AVAudioRecorder* m_recorder;
    };

} // namespace

Result<std::unique_ptr<AudioRecorder>> AVAudioRecorders::makeRecorder(
    const std::filesystem::path& file, const AudioFileSettings& settings)
{
    NSError* error = nil;
    AVAudioRecorder* recorder = [[AVAudioRecorder alloc] initWithURL:toFileURL(file)
                                                            settings:toSettingsDictionary(settings)
                                                               error:&error];
    if (!recorder)
        return toError(error);
    return std::unique_ptr<AudioRecorder>(std::make_unique<AVAudioRecorderAdapter>(recorder));
}

} // namespace norla
