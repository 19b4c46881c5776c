#include "recording/PulseRecordStream.h"

#include "recording/PulseError.h"

#include <pulse/error.h>

#include <chrono>
#include <cmath>
#include <vector>

namespace norla {

namespace {

    constexpr const char* applicationName = "NorlaOffice";
    // Stamps counted from the samples may part from the clock by this much before they are set again: more
    // than the clock's jitter at read time, less than a listener would notice as a shift between tracks.
    constexpr Duration allowedDrift = std::chrono::milliseconds(40);

    Duration framesDuration(std::uint64_t frames, std::uint32_t rate)
    {
        return std::chrono::duration_cast<Duration>(
            std::chrono::duration<double>(static_cast<double>(frames) / static_cast<double>(rate)));
    }

} // namespace

Result<std::unique_ptr<PulseRecordStream>> PulseRecordStream::open(
    const Configuration& configuration, std::shared_ptr<const Clock> clock)
{
    if (configuration.sampleRate == 0 || configuration.channels == 0 || configuration.blockDuration <= Duration::zero())
        return pulseError(PA_ERR_INVALID);
    pa_sample_spec spec {};
    spec.format = PA_SAMPLE_FLOAT32LE;
    spec.rate = configuration.sampleRate;
    spec.channels = configuration.channels;
    if (!pa_sample_spec_valid(&spec))
        return pulseError(PA_ERR_INVALID);

    pa_buffer_attr attributes {};
    attributes.maxlength = static_cast<std::uint32_t>(-1);
    attributes.tlength = static_cast<std::uint32_t>(-1);
    attributes.prebuf = static_cast<std::uint32_t>(-1);
    attributes.minreq = static_cast<std::uint32_t>(-1);
    attributes.fragsize = static_cast<std::uint32_t>(pa_usec_to_bytes(
        static_cast<pa_usec_t>(
            std::chrono::duration_cast<std::chrono::microseconds>(configuration.blockDuration).count()),
        &spec));

    int error = 0;
    PulseSimplePtr connection(pa_simple_new(nullptr, applicationName, PA_STREAM_RECORD, configuration.device.c_str(),
        configuration.streamName.c_str(), &spec, nullptr, &attributes, &error));
    if (!connection)
        return pulseError(error);
    return std::make_unique<PulseRecordStream>(Key {}, configuration, std::move(clock), std::move(connection));
}

PulseRecordStream::PulseRecordStream(
    Key, Configuration configuration, std::shared_ptr<const Clock> clock, PulseSimplePtr connection)
    : m_configuration(std::move(configuration))
    , m_clock(std::move(clock))
    , m_connection(std::move(connection))
{
}

PulseRecordStream::~PulseRecordStream() { stop(); }

void PulseRecordStream::start(BlockHandler onBlock, FailureHandler onFailure)
{
    if (m_reader.joinable() || m_stopping.load())
        return;
    m_reader = std::thread(
        [this, onBlock = std::move(onBlock), onFailure = std::move(onFailure)] { read(onBlock, onFailure); });
}

void PulseRecordStream::stop()
{
    m_stopping.store(true);
    if (m_reader.joinable())
        m_reader.join();
}

void PulseRecordStream::read(const BlockHandler& onBlock, const FailureHandler& onFailure)
{
    auto frames = static_cast<std::size_t>(
        std::llround(toSeconds(m_configuration.blockDuration) * static_cast<double>(m_configuration.sampleRate)));
    if (frames == 0)
        frames = 1;
    std::vector<float> block(frames * m_configuration.channels);
    while (!m_stopping.load()) {
        int error = 0;
        if (pa_simple_read(m_connection.get(), block.data(), block.size() * sizeof(float), &error) < 0) {
            if (!m_stopping.load())
                onFailure(pulseError(error));
            return;
        }
        if (m_stopping.load())
            return;
        onBlock(block, stamp(frames));
    }
}

Duration PulseRecordStream::stamp(std::uint64_t frames)
{
    int error = 0;
    pa_usec_t latency = pa_simple_get_latency(m_connection.get(), &error);
    if (latency == static_cast<pa_usec_t>(-1))
        latency = 0;
    auto rate = m_configuration.sampleRate;
    // The block's last frame was captured `latency` ago; its first one a block's duration before that.
    auto measured = m_clock->now() - std::chrono::microseconds(latency) - framesDuration(frames, rate);
    auto counted = m_anchor + framesDuration(m_framesRead, rate);
    if (!m_anchored || std::chrono::abs(measured - counted) > allowedDrift) {
        m_anchor = measured - framesDuration(m_framesRead, rate);
        m_anchored = true;
        counted = measured;
    }
    m_framesRead += frames;
    return counted;
}

} // namespace norla
