#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>
#include <thread>

namespace norla::test {

// Plays a sine tone into a PulseAudio sink on its own thread while it lives: the "system audio" of a test
// when played into the default sink, its "microphone" when played into the sink that feeds the virtual
// microphone. The frequency can change while it plays (it reaches the sink after changeDelay); 0 plays
// silence.
class TonePlayer {
public:
    static constexpr std::chrono::milliseconds changeDelay { 600 };

    // At amplitude 0.5, into `server` (empty: the test server).
    TonePlayer(std::string sink, double frequency, const std::string& server = {});
    ~TonePlayer();
    TonePlayer(const TonePlayer&) = delete;
    TonePlayer& operator=(const TonePlayer&) = delete;

    // Whether the sink accepted the stream; the reason is in error().
    bool isPlaying() const { return m_connected; }
    const std::string& error() const { return m_error; }
    void setFrequency(double frequency) { m_frequency.store(frequency); }

private:
    void writeBlocks(void* connection, std::size_t count);

    std::atomic<double> m_frequency;
    std::atomic<bool> m_stopping { false };
    bool m_connected = false;
    double m_phase = 0; // the constructor's thread, then the playing thread
    std::string m_error;
    std::thread m_thread;
    std::thread m_listener;
};

} // namespace norla::test
