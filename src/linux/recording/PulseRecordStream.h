#pragma once

#include "platform/Clock.h"
#include "platform/Error.h"
#include "platform/PassKey.h"
#include "platform/Result.h"
#include "recording/PulsePtr.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <thread>

namespace norla {

// One PulseAudio record stream, read on its own thread in blocks of 32-bit float samples. Each block is
// stamped on a monotonic clock with the moment its first frame was captured: from the clock at read time,
// then on by the stream's own sample count, so consecutive blocks join without gaps. The stamps follow the
// clock again where the two part: back when a block arrives earlier than counted, ahead when every block
// of a two-second window arrives more than 200 ms late (the server dropped audio).
class PulseRecordStream {
public:
    struct Configuration {
        // The server to connect to; empty for the user's default server.
        std::string server;
        // A source name, or "@DEFAULT_SOURCE@" (the microphone), or "@DEFAULT_MONITOR@" (what the default
        // sink plays).
        std::string device;
        std::string streamName;
        std::uint32_t sampleRate = 16000;
        std::uint8_t channels = 1;
        // How much audio one block holds; left to the server, blocks can be seconds long.
        Duration blockDuration = std::chrono::milliseconds(20);
    };

    // Called on the reading thread for each block: interleaved samples and the capture time of the first
    // frame. It must hand the block off without blocking for long, and must not stop the stream.
    using BlockHandler = std::function<void(std::span<const float> samples, Duration captureTime)>;
    // Called once, on the reading thread, when reading fails while the stream runs; no block follows.
    using FailureHandler = std::function<void(const Error& error)>;

    // Connects to the server and opens the stream; fails with PulseAudio's error when the server or the
    // device cannot be reached.
    static Result<std::unique_ptr<PulseRecordStream>> open(
        const Configuration& configuration, std::shared_ptr<const Clock> clock);

    // Only open() makes streams.
    PulseRecordStream(PassKey<PulseRecordStream>, Configuration configuration, std::shared_ptr<const Clock> clock,
        PulseSimplePtr connection);
    ~PulseRecordStream();
    PulseRecordStream(const PulseRecordStream&) = delete;
    PulseRecordStream& operator=(const PulseRecordStream&) = delete;

    // Starts the reading thread. Once only.
    void start(BlockHandler onBlock, FailureHandler onFailure);
    // Stops reading and joins the reading thread (within one block's duration); no handler runs afterwards.
    // Safe to call more than once, and without start.
    void stop();

    const Configuration& configuration() const { return m_configuration; }

private:
    void read(const BlockHandler& onBlock, const FailureHandler& onFailure);
    Duration stamp(std::uint64_t frames);

    const Configuration m_configuration;
    const std::shared_ptr<const Clock> m_clock;
    PulseSimplePtr m_connection; // used by the reading thread only while it runs
    std::atomic<bool> m_stopping { false };
    std::thread m_reader;

    // Reading thread only.
    bool m_anchored = false;
    Duration m_anchor {};
    std::uint64_t m_framesRead = 0;
    Duration m_smallestLag = Duration::max();
    std::uint64_t m_laggedFrames = 0;
};

} // namespace norla
