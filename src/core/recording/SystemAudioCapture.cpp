#include "recording/SystemAudioCapture.h"

#include "app/BuildConfiguration.h"
#include "platform/Await.h"
#include "platform/NotificationCenter.h"
#include "platform/Seams.h"
#include "platform/SystemLog.h"
#include "platform/TaskQueues.h"
#include "recording/CaptureError.h"
#include "recording/CaptureFormat.h"
#include "recording/Mixdown.h"
#include "recording/RecordingFiles.h"
#include "web/OfficeNotifications.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace norla {

SystemAudioCapture::Dependencies SystemAudioCapture::Dependencies::live()
{
    return {
        seam<ScreenCapture>(),
        seam<AudioConverters>(),
        [] { return makeSerialQueue(std::string(build::applicationIdentifier) + ".capture"); },
        seam<FileHandles>(),
        seam<AudioFileWriter>(),
    };
}

SystemAudioCapture::SystemAudioCapture(PassKey<SystemAudioCapture>, std::filesystem::path dir,
    std::shared_ptr<TaskQueue> queue, Dependencies dependencies, RawTrack system, RawTrack mic)
    : m_dir(std::move(dir))
    , m_queue(std::move(queue))
    , m_dependencies(std::move(dependencies))
    , m_system(std::move(system))
    , m_mic(std::move(mic))
{
}

StreamConfiguration SystemAudioCapture::streamConfiguration()
{
    StreamConfiguration configuration;
    configuration.width = 2;
    configuration.height = 2;
    configuration.capturesAudio = true;
    configuration.sampleRate = 16000;
    configuration.channelCount = 1;
    configuration.excludesCurrentProcessAudio = true;
    configuration.captureMicrophone = true;
    return configuration;
}

Result<std::shared_ptr<SystemAudioCapture>> SystemAudioCapture::start(
    const std::filesystem::path& dir, const Dependencies& dependencies)
{
    auto& screenCapture = *dependencies.screenCapture;
    auto content = awaitCompletion<Result<ShareableContent>>(
        [&](auto completion) { screenCapture.getShareableContent(std::move(completion)); });
    if (!content)
        return captureError(CaptureError::permissionDenied, content.error().description());
    if (content.value().displays.empty())
        return captureError(CaptureError::noDisplay);

    ContentFilter filter { content.value().displays.front() };
    auto configuration = streamConfiguration();

    auto queue = dependencies.makeQueue();
    auto system = RawTrack::make(dir / RecordingFiles::systemTrackName, *dependencies.fileHandles);
    if (!system)
        return system.error();
    auto mic = RawTrack::make(dir / RecordingFiles::micTrackName, *dependencies.fileHandles);
    if (!mic)
        return mic.error();
    auto capture = std::make_shared<SystemAudioCapture>(
        PassKey<SystemAudioCapture> {}, dir, queue, dependencies, std::move(system).value(), std::move(mic).value());

    auto stream = screenCapture.makeStream(filter, configuration, capture->weak_from_this());
    for (auto type : { StreamOutputType::audio, StreamOutputType::microphone }) {
        if (auto added = stream->addStreamOutput(capture->weak_from_this(), type, queue); !added)
            return added.error();
    }
    auto started = awaitCompletion<Result<void>>([&](auto completion) { stream->startCapture(std::move(completion)); });
    if (!started)
        return captureError(CaptureError::permissionDenied, started.error().description());
    capture->m_stream = std::move(stream);
    return capture;
}

Result<std::filesystem::path> SystemAudioCapture::mixdown(
    const std::filesystem::path& dir, const Dependencies& dependencies)
{
    return norla::mixdown(dir, *dependencies.fileHandles, *dependencies.writer);
}

void SystemAudioCapture::pause()
{
    if (m_paused)
        return;
    m_paused = true;
    m_pausedFrom = m_lastPTS;
}

void SystemAudioCapture::resume()
{
    if (!m_paused)
        return;
    m_paused = false;
    if (m_pausedFrom && m_lastPTS)
        m_pausedTotal += std::max(*m_lastPTS - *m_pausedFrom, 0.0);
    m_pausedFrom.reset();
}

Result<std::filesystem::path> SystemAudioCapture::stop()
{
    if (m_stream) {
        // The stream may already have stopped by itself; its answer changes nothing here.
        (void)awaitCompletion<Result<void>>([&](auto completion) { m_stream->stopCapture(std::move(completion)); });
    }
    m_stream.reset();
    m_queue->sync([this] {
        m_system.close();
        m_mic.close();
    });
    return mixdown(m_dir, m_dependencies);
}

void SystemAudioCapture::didOutputSampleBuffer(const SampleBuffer& buffer, StreamOutputType type)
{
    if (type != StreamOutputType::audio && type != StreamOutputType::microphone)
        return;
    if (!buffer.isValid())
        return;
    auto time = buffer.outputPresentationTime();
    if (!time || !std::isfinite(*time))
        return;
    auto t = *time;
    m_lastPTS = t;
    if (m_paused)
        return;

    auto samples = convert(buffer, type);
    if (!samples || samples->empty())
        return;
    if (!m_origin)
        m_origin = t;
    auto position = t - *m_origin - m_pausedTotal;
    if (std::isnan(position) || position < 0)
        position = 0;
    if (position >= timelineLimit)
        return;
    (type == StreamOutputType::audio ? m_system : m_mic).write(*samples, position);
}

void SystemAudioCapture::didStopWithError(const Error& error)
{
    logLine("SystemAudioCapture stopped: " + error.description());
    NotificationCenter::defaultCenter().post(std::string(officeCaptureFailed), error.description());
}

std::optional<std::vector<float>> SystemAudioCapture::convert(const SampleBuffer& buffer, StreamOutputType type)
{
    auto inputFormat = buffer.formatDescription();
    if (!inputFormat || !(inputFormat->sampleRate > 0))
        return std::nullopt;
    auto frameCount = buffer.numSamples();
    if (frameCount == 0)
        return std::nullopt;
    auto input = AudioPcmBuffer::make(*inputFormat, static_cast<std::uint32_t>(frameCount));
    if (!input)
        return std::nullopt;
    input->setFrameLength(static_cast<std::uint32_t>(frameCount));
    if (buffer.copyPcmData(*input, frameCount) != 0)
        return std::nullopt;

    auto entry = m_converters.find(type);
    if (entry == m_converters.end() || !(entry->second.inputFormat == *inputFormat)) {
        auto converter = m_dependencies.converters->makeConverter(*inputFormat, captureFormat());
        if (!converter) {
            m_converters.erase(type);
            return std::nullopt;
        }
        entry = m_converters.insert_or_assign(type, ConverterEntry { *inputFormat, std::move(converter) }).first;
    }

    auto capacity = static_cast<std::uint32_t>(std::floor(
                        static_cast<double>(frameCount) * captureFormat().sampleRate / inputFormat->sampleRate))
        + 64;
    auto output = AudioPcmBuffer::make(captureFormat(), capacity);
    if (!output)
        return std::nullopt;
    bool handedOver = false;
    auto converted
        = entry->second.converter->convert(*output, [&](AudioConverterInputStatus& status) -> const AudioPcmBuffer* {
              if (handedOver) {
                  status = AudioConverterInputStatus::noDataNow;
                  return nullptr;
              }
              handedOver = true;
              status = AudioConverterInputStatus::haveData;
              return &*input;
          });
    if (!converted)
        return std::nullopt;
    auto channel = output->floatChannelData(0).first(output->frameLength());
    return std::vector<float>(channel.begin(), channel.end());
}

} // namespace norla
