#include "TonePlayer.h"

#include "recording/PulsePtr.h"

#include <pulse/error.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace norla::test {

namespace {
    constexpr pa_sample_spec sampleFormat { PA_SAMPLE_FLOAT32LE, 16000, 1 };
    constexpr std::size_t blockFrames = 320; // 20 ms
    // The buffer's worth and 200 ms more: the tone has reached the sink when the constructor returns.
    constexpr std::size_t settleBlocks = 40;

    PulseSimplePtr connect(const std::string& server, pa_stream_direction_t direction, const std::string& device,
        pa_usec_t buffer, int& error)
    {
        pa_buffer_attr attributes { static_cast<std::uint32_t>(-1), static_cast<std::uint32_t>(-1),
            static_cast<std::uint32_t>(-1), static_cast<std::uint32_t>(-1), static_cast<std::uint32_t>(-1) };
        (direction == PA_STREAM_PLAYBACK ? attributes.tlength : attributes.fragsize)
            = static_cast<std::uint32_t>(pa_usec_to_bytes(buffer, &sampleFormat));
        return PulseSimplePtr(pa_simple_new(server.empty() ? nullptr : server.c_str(), "norla-tests", direction,
            device.c_str(), "test tone", &sampleFormat, nullptr, &attributes, &error));
    }
} // namespace

TonePlayer::TonePlayer(std::string sink, double frequency, const std::string& server)
    : m_frequency(frequency)
{
    int error = 0;
    // A deep buffer: a busy machine that holds this thread back for less than its length does not break
    // the tone off. A change of tone takes as long to reach the sink.
    auto connection = connect(server, PA_STREAM_PLAYBACK, sink, 600000, error);
    if (!connection) {
        m_error = pa_strerror(error);
        return;
    }
    m_connected = true;
    // Something always listens to the sink in short blocks, as a recording would: the sink then renders
    // in short blocks all along, and a record stream that starts later gets its first block at once.
    if (auto listener = connect(server, PA_STREAM_RECORD, sink + ".monitor", 20000, error)) {
        m_listener = std::thread([this, owned = std::move(listener)] {
            std::vector<float> block(blockFrames);
            int readError = 0;
            while (!m_stopping.load()
                && pa_simple_read(owned.get(), block.data(), block.size() * sizeof(float), &readError) >= 0) { }
        });
    }
    // The first blocks are written here: once the server has taken them, the tone plays.
    writeBlocks(connection.get(), settleBlocks);
    m_thread = std::thread([this, owned = std::move(connection)]() mutable {
        writeBlocks(owned.get(), std::numeric_limits<std::size_t>::max());
    });
}

TonePlayer::~TonePlayer()
{
    m_stopping.store(true);
    if (m_thread.joinable())
        m_thread.join();
    if (m_listener.joinable())
        m_listener.join();
}

void TonePlayer::writeBlocks(void* connection, std::size_t count)
{
    std::vector<float> block(blockFrames);
    for (std::size_t written = 0; written < count && !m_stopping.load(); ++written) {
        auto step = 2 * std::numbers::pi * m_frequency.load() / sampleFormat.rate;
        for (auto& sample : block) {
            sample = step > 0 ? 0.5f * static_cast<float>(std::sin(m_phase)) : 0.0f;
            m_phase = std::fmod(m_phase + step, 2 * std::numbers::pi);
        }
        int error = 0;
        if (pa_simple_write(static_cast<pa_simple*>(connection), block.data(), block.size() * sizeof(float), &error)
            < 0)
            return;
    }
}

} // namespace norla::test
