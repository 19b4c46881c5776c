#pragma once

#include "platform/AudioRecorder.h"

namespace norla {

// Microphone segments recorded by `AVAudioRecorder` (the file type follows the file's extension).
class AVAudioRecorders final : public AudioRecorders {
public:
    Result<std::unique_ptr<AudioRecorder>> makeRecorder(
        const std::filesystem::path& file, const AudioFileSettings& settings) override;
};

} // namespace norla
