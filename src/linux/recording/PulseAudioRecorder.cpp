#include "recording/PulseAudioRecorder.h"

#include "platform/SystemLog.h"
#include "recording/FfmpegFragmentedAacFile.h"
#include "recording/PulseError.h"

#include <pulse/error.h>

#include <atomic>
#include <cmath>
#include <string>
#include <system_error>

namespace norla {

namespace {

    bool canRecord(const AudioFileSettings& settings)
    {
        return settings.formatId == audioFormatMpeg4Aac && settings.numberOfChannels >= 1
            && settings.numberOfChannels <= 2 && settings.sampleRate >= 8000 && settings.sampleRate <= 96000
            && std::floor(settings.sampleRate) == settings.sampleRate && settings.encoderBitRate > 0;
    }

    AudioFormat recordingFormat(const AudioFileSettings& settings)
    {
        return { AudioCommonFormat::pcmFloat32, settings.sampleRate, settings.numberOfChannels, false };
    }

    void logFailure(const Error& error) { logLine("PulseAudioRecorder: " + error.description()); }

} // namespace

Result<std::unique_ptr<AudioRecorder>> PulseAudioRecorder::make(const std::filesystem::path& file,
    const AudioFileSettings& settings, std::shared_ptr<const Clock> clock, std::string device, std::string server)
{
    if (!canRecord(settings))
        return pulseError(PA_ERR_NOTSUPPORTED);
    return std::unique_ptr<AudioRecorder>(std::make_unique<PulseAudioRecorder>(
        PassKey<PulseAudioRecorder>(), file, settings, std::move(clock), std::move(device), std::move(server)));
}

PulseAudioRecorder::PulseAudioRecorder(PassKey<PulseAudioRecorder>, std::filesystem::path file,
    const AudioFileSettings& settings, std::shared_ptr<const Clock> clock, std::string device, std::string server)
    : m_path(std::move(file))
    , m_settings(settings)
    , m_clock(std::move(clock))
    , m_device(std::move(device))
    , m_server(std::move(server))
{
}

void PulseAudioRecorder::setFailureHandler(FailureHandler handler) { m_failureHandler = std::move(handler); }

PulseAudioRecorder::~PulseAudioRecorder() { stop(); }

bool PulseAudioRecorder::record()
{
    if (m_recording)
        return true;
    if (m_stopped)
        return false;

    // Reported once, whether the source went away or reading it failed.
    auto report
        = [handler = m_failureHandler, reported = std::make_shared<std::atomic<bool>>(false)](const Error& error) {
              if (reported->exchange(true))
                  return;
              logFailure(error);
              if (handler)
                  handler(error);
          };
    auto watch = PulseSourceWatch::start(m_server, m_device, [report] { report(pulseError(PA_ERR_NOENTITY)); });
    if (!watch) {
        logFailure(watch.error());
        return false;
    }
    // A default source that is a monitor means the computer has no microphone: recording what it plays
    // instead would pass the other side off as the user's voice.
    if (m_device == defaultSource && watch.value()->source().isMonitor) {
        logFailure(pulseError(PA_ERR_NOENTITY));
        return false;
    }

    PulseRecordStream::Configuration configuration;
    configuration.server = m_server;
    configuration.device = watch.value()->source().name;
    configuration.streamName = "meeting microphone";
    configuration.sampleRate = static_cast<std::uint32_t>(m_settings.sampleRate);
    configuration.channels = static_cast<std::uint8_t>(m_settings.numberOfChannels);
    auto stream = PulseRecordStream::open(configuration, m_clock);
    if (!stream) {
        logFailure(stream.error());
        return false;
    }
    auto format = recordingFormat(m_settings);
    auto file = FfmpegFragmentedAacFile::open(m_path, m_settings, format);
    if (!file) {
        logFailure(file.error());
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
        return false;
    }
    auto blockFrames
        = static_cast<std::uint32_t>(std::ceil(toSeconds(configuration.blockDuration) * m_settings.sampleRate));
    m_buffer = AudioPcmBuffer::make(format, blockFrames);
    if (!m_buffer) {
        logFailure(pulseError(PA_ERR_INTERNAL));
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
        return false;
    }
    m_file = std::move(file).value();
    m_watch = std::move(watch).value();
    m_stream = std::move(stream).value();
    m_recording = true;
    m_stream->start([this](std::span<const float> samples, Duration) { append(samples); }, report);
    return true;
}

void PulseAudioRecorder::append(std::span<const float> samples)
{
    if (m_writeFailed)
        return;
    auto channels = static_cast<std::size_t>(m_settings.numberOfChannels);
    auto frames = static_cast<std::uint32_t>(samples.size() / channels);
    for (std::size_t channel = 0; channel < channels; ++channel) {
        auto target = m_buffer->floatChannelData(static_cast<int>(channel));
        for (std::uint32_t frame = 0; frame < frames && frame < target.size(); ++frame)
            target[frame] = samples[frame * channels + channel];
    }
    m_buffer->setFrameLength(frames);
    if (auto written = m_file->write(*m_buffer); !written) {
        // The file keeps what was written before; the rest of the segment is lost.
        m_writeFailed = true;
        logFailure(written.error());
    }
}

void PulseAudioRecorder::stop()
{
    if (m_stopped)
        return;
    m_stopped = true;
    if (!m_recording)
        return;
    m_recording = false;
    m_watch.reset();
    m_stream->stop();
    m_stream.reset();
    if (auto closed = m_file->close(); !closed)
        logFailure(closed.error());
    m_file.reset();
}

} // namespace norla
