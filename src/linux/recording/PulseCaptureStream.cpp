#include "recording/PulseCaptureStream.h"

#include "recording/PulseError.h"
#include "recording/PulseSampleBuffer.h"

#include <pulse/error.h>

#include <vector>

namespace norla {

PulseCaptureStream::PulseCaptureStream(StreamConfiguration configuration, std::weak_ptr<StreamDelegate> delegate,
    std::shared_ptr<const Clock> clock, Sources sources)
    : m_configuration(configuration)
    , m_delegate(std::move(delegate))
    , m_clock(std::move(clock))
    , m_sources(std::move(sources))
{
}

PulseCaptureStream::~PulseCaptureStream() { stopSources(); }

Result<void> PulseCaptureStream::addStreamOutput(
    std::weak_ptr<StreamOutput> output, StreamOutputType type, std::shared_ptr<TaskQueue> sampleHandlerQueue)
{
    std::lock_guard lock(m_mutex);
    // The reading threads read the outputs without a lock: they are fixed once capturing begins.
    if (m_started || !sampleHandlerQueue)
        return pulseError(PA_ERR_BADSTATE);
    m_outputs[type] = Output { std::move(output), std::move(sampleHandlerQueue) };
    return {};
}

Result<std::unique_ptr<PulseRecordStream>> PulseCaptureStream::open(const std::string& device, const char* name) const
{
    if (m_configuration.sampleRate <= 0 || m_configuration.channelCount <= 0 || m_configuration.channelCount > 32)
        return pulseError(PA_ERR_INVALID);
    PulseRecordStream::Configuration configuration;
    configuration.server = m_sources.server;
    configuration.device = device;
    configuration.streamName = name;
    configuration.sampleRate = static_cast<std::uint32_t>(m_configuration.sampleRate);
    configuration.channels = static_cast<std::uint8_t>(m_configuration.channelCount);
    return PulseRecordStream::open(configuration, m_clock);
}

void PulseCaptureStream::startCapture(CompletionHandler<void(Result<void>)> completion)
{
    std::unique_lock lock(m_mutex);
    if (m_started) {
        lock.unlock();
        completion(pulseError(PA_ERR_BADSTATE));
        return;
    }
    std::unique_ptr<PulseRecordStream> system;
    std::unique_ptr<PulseRecordStream> microphone;
    if (m_configuration.capturesAudio) {
        auto opened = open(m_sources.system, "meeting system audio");
        if (!opened) {
            lock.unlock();
            completion(opened.error());
            return;
        }
        system = std::move(opened).value();
    }
    if (m_configuration.captureMicrophone) {
        auto opened = open(m_sources.microphone, "meeting microphone");
        if (!opened) {
            lock.unlock();
            completion(opened.error());
            return;
        }
        microphone = std::move(opened).value();
    }
    m_started = true;
    m_system = std::move(system);
    m_microphone = std::move(microphone);
    if (m_system)
        run(*m_system, StreamOutputType::audio);
    if (m_microphone)
        run(*m_microphone, StreamOutputType::microphone);
    lock.unlock();
    completion({});
}

void PulseCaptureStream::run(PulseRecordStream& source, StreamOutputType type)
{
    auto found = m_outputs.find(type);
    std::optional<Output> output;
    if (found != m_outputs.end())
        output = found->second;
    auto rate = static_cast<double>(m_configuration.sampleRate);
    auto channels = m_configuration.channelCount;
    source.start(
        [output, type, rate, channels, halted = m_halted](std::span<const float> samples, Duration captureTime) {
            if (!output || halted->load())
                return;
            auto buffer = std::make_shared<PulseSampleBuffer>(
                std::vector<float>(samples.begin(), samples.end()), rate, channels, toSeconds(captureTime));
            output->queue->async([receiver = output->output, buffer, type] {
                if (auto strong = receiver.lock())
                    strong->didOutputSampleBuffer(*buffer, type);
            });
        },
        [delegate = m_delegate, halted = m_halted](const Error& error) {
            // The first failure ends the stream for good; the other source's blocks are dropped from now on.
            if (halted->exchange(true))
                return;
            if (auto strong = delegate.lock())
                strong->didStopWithError(error);
        });
}

void PulseCaptureStream::stopCapture(CompletionHandler<void(Result<void>)> completion)
{
    stopSources();
    completion({});
}

void PulseCaptureStream::stopSources()
{
    std::unique_ptr<PulseRecordStream> system;
    std::unique_ptr<PulseRecordStream> microphone;
    {
        std::lock_guard lock(m_mutex);
        system = std::move(m_system);
        microphone = std::move(m_microphone);
    }
    // Joined outside the lock; a reading thread never takes it.
    if (system)
        system->stop();
    if (microphone)
        microphone->stop();
}

} // namespace norla
