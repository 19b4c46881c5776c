#pragma once

#include "platform/AudioFileWriter.h"
#include "platform/AudioPcmBuffer.h"
#include "platform/AudioRecorder.h"
#include "platform/Clock.h"
#include "platform/PassKey.h"
#include "recording/PulseRecordStream.h"
#include "recording/PulseSourceWatch.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace norla {

// Records a PulseAudio source (by default the microphone, "@DEFAULT_SOURCE@") into one AAC .m4a file at
// the given settings. The file is written in one-second fragments while recording, so a killed process
// leaves a playable file; stop() finishes it. record() and stop() are called from one queue at a time.
class PulseAudioRecorder final : public AudioRecorder {
public:
    static constexpr std::string_view defaultSource = "@DEFAULT_SOURCE@";

    // Fails when the settings cannot be recorded: AAC only, one or two channels, a whole sample rate.
    // `server` is empty for the user's default sound server.
    static Result<std::unique_ptr<AudioRecorder>> make(const std::filesystem::path& file,
        const AudioFileSettings& settings, std::shared_ptr<const Clock> clock,
        std::string device = std::string(defaultSource), std::string server = {});

    // Only make() creates recorders.
    PulseAudioRecorder(PassKey<PulseAudioRecorder>, std::filesystem::path file, const AudioFileSettings& settings,
        std::shared_ptr<const Clock> clock, std::string device, std::string server);
    ~PulseAudioRecorder() override;
    PulseAudioRecorder(const PulseAudioRecorder&) = delete;
    PulseAudioRecorder& operator=(const PulseAudioRecorder&) = delete;

    // Opens the file and the source and starts writing; false (and the reason logged) when either cannot be
    // opened. True while already recording; a stopped recorder does not record again.
    bool record() override;
    // Stops reading the source and finishes the file.
    void stop() override;
    // Told when the source goes away or reading it fails; stop() still finishes the file.
    void setFailureHandler(FailureHandler handler) override;

private:
    // On the reading thread.
    void append(std::span<const float> samples);

    const std::filesystem::path m_path;
    const AudioFileSettings m_settings;
    const std::shared_ptr<const Clock> m_clock;
    const std::string m_device;
    const std::string m_server;
    FailureHandler m_failureHandler;
    bool m_recording = false;
    bool m_stopped = false;

    std::unique_ptr<PulseSourceWatch> m_watch;
    std::unique_ptr<PulseRecordStream> m_stream;
    // Written by the reading thread while the stream runs; the stream's stop joins that thread before
    // these are touched again.
    std::unique_ptr<AudioFile> m_file;
    std::optional<AudioPcmBuffer> m_buffer;
    bool m_writeFailed = false;
};

} // namespace norla
