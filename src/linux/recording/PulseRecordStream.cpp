#include "recording/PulseRecordStream.h"

#include "recording/PulseError.h"

#include <pulse/error.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

namespace norla {

namespace {

    constexpr const char* applicationName = "NorlaOffice";
    // A block read this much earlier than its count says shows that the earlier reads were late.
    constexpr Duration earlyTolerance = std::chrono::milliseconds(10);
    // Blocks read later than counted by more than this, for a whole window, show lost audio. A read delayed by
    // a busy machine only delays the blocks until the backlog is read, which takes far less than the window.
    constexpr Duration allowedLag = std::chrono::milliseconds(200);
    constexpr Duration lagWindow = std::chrono::seconds(2);

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
    pa_sample_spec sampleFormat {};
    sampleFormat.format = PA_SAMPLE_FLOAT32LE;
    sampleFormat.rate = configuration.sampleRate;
    sampleFormat.channels = configuration.channels;
    if (!pa_sample_spec_valid(&sampleFormat))
        return pulseError(PA_ERR_INVALID);

    pa_buffer_attr attributes {};
    attributes.maxlength = static_cast<std::uint32_t>(-1);
    attributes.tlength = static_cast<std::uint32_t>(-1);
    attributes.prebuf = static_cast<std::uint32_t>(-1);
    attributes.minreq = static_cast<std::uint32_t>(-1);
    attributes.fragsize = static_cast<std::uint32_t>(pa_usec_to_bytes(
        static_cast<pa_usec_t>(
            std::chrono::duration_cast<std::chrono::microseconds>(configuration.blockDuration).count()),
        &sampleFormat));

    int error = 0;
    auto* server = configuration.server.empty() ? nullptr : configuration.server.c_str();
    PulseSimplePtr connection(pa_simple_new(server, applicationName, PA_STREAM_RECORD, configuration.device.c_str(),
        configuration.streamName.c_str(), &sampleFormat, nullptr, &attributes, &error));
    if (!connection)
        return pulseError(error);
    return std::make_unique<PulseRecordStream>(
        PassKey<PulseRecordStream>(), configuration, std::move(clock), std::move(connection));
}

PulseRecordStream::PulseRecordStream(PassKey<PulseRecordStream>, Configuration configuration,
    std::shared_ptr<const Clock> clock, PulseSimplePtr connection)
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
    if (!m_reader.joinable())
        return;
    // A failure handler that releases the last owner of the stream ends up here on the reading thread,
    // which returns as soon as its handler does and touches the stream no more.
    if (m_reader.get_id() == std::this_thread::get_id()) {
        m_reader.detach();
        return;
    }
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
    auto rate = m_configuration.sampleRate;
    // The block has just been read, so its first frame was captured about a block's duration ago. The
    // server's latency figure is left out: while a stream's latency settles it reports hundreds of
    // milliseconds that the data does not show (blocks keep arriving at the sample rate), and once settled
    // it is a few milliseconds, alike for every source of the server.
    auto measured = m_clock->now() - framesDuration(frames, rate);
    if (!m_anchored) {
        m_anchor = measured;
        m_anchored = true;
    }
    auto counted = m_anchor + framesDuration(m_framesRead, rate);
    auto lag = measured - counted;
    if (lag < -earlyTolerance) {
        // Reads are late, never early: the blocks so far were read late, so the stamps move back.
        m_anchor += lag;
        counted = measured;
    } else {
        m_smallestLag = std::min(m_smallestLag, lag);
        m_laggedFrames += frames;
        if (framesDuration(m_laggedFrames, rate) >= lagWindow) {
            // Every block of the window came later than counted: the server dropped audio, or the device's
            // clock runs slow. The stamps jump ahead, and the gap becomes silence on the timeline.
            if (m_smallestLag > allowedLag) {
                m_anchor += m_smallestLag;
                counted += m_smallestLag;
            }
            m_smallestLag = Duration::max();
            m_laggedFrames = 0;
        }
    }
    m_framesRead += frames;
    return counted;
}

} // namespace norla
