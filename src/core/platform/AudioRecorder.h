#pragma once

#include "platform/AudioFileWriter.h"
#include "platform/Result.h"

#include <filesystem>
#include <functional>
#include <memory>

namespace norla {

// Records the microphone into one encoded file (the role of AVAudioRecorder).
class AudioRecorder {
public:
    virtual ~AudioRecorder() = default;
    // Starts recording; false when the recorder refuses.
    virtual bool record() = 0;
    // Ends recording and finishes the file.
    virtual void stop() = 0;

    // Told at most once, on any thread, when recording ends by itself because its source failed (the
    // microphone went away, as AVAudioRecorder's delegate hears of an encoding error); the file keeps what
    // was recorded until then. Set before record().
    using FailureHandler = std::function<void(const Error& error)>;
    virtual void setFailureHandler(FailureHandler handler) = 0;
};

// Creates audio recorders (the seam over the platform's recorder).
class AudioRecorders {
public:
    virtual ~AudioRecorders() = default;
    // A recorder for `file` with `settings`; creating it does not start it. Fails with the platform's error.
    virtual Result<std::unique_ptr<AudioRecorder>> makeRecorder(
        const std::filesystem::path& file, const AudioFileSettings& settings)
        = 0;
};

} // namespace norla
