#pragma once

#include "platform/PassKey.h"
#include "platform/Result.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

struct pa_threaded_mainloop;
struct pa_context;
struct pa_operation;

namespace norla {

// Watches one PulseAudio source on a connection of its own, for a stream that records it. When a source
// goes away, the server moves its streams to whatever source is the default then (often the speakers'
// monitor), so the stream itself never fails: the watch is how a recorder learns that its microphone is gone.
class PulseSourceWatch {
public:
    struct Source {
        std::uint32_t index = 0;
        std::string name;
        bool isMonitor = false; // the monitor of a sink: what is played, not a microphone
    };

    // Connects to `server` (empty for the user's default) and finds `device`, a source name or
    // "@DEFAULT_SOURCE@". `onGone` is called at most once, on the watch's own thread, when that source is
    // removed; it must not release the watch.
    static Result<std::unique_ptr<PulseSourceWatch>> start(
        const std::string& server, const std::string& device, std::function<void()> onGone);

    explicit PulseSourceWatch(PassKey<PulseSourceWatch>);
    ~PulseSourceWatch();
    PulseSourceWatch(const PulseSourceWatch&) = delete;
    PulseSourceWatch& operator=(const PulseSourceWatch&) = delete;

    Source source() const;

private:
    Result<void> connect(const std::string& server);
    Result<void> find(const std::string& device);
    Result<void> subscribe();
    // Waits, with the main loop locked, until `operation` has finished.
    bool wait(pa_operation* operation);
    Error contextError() const;

    struct MainloopDeleter {
        void operator()(pa_threaded_mainloop* mainloop) const;
    };
    struct ContextDeleter {
        void operator()(pa_context* context) const;
    };
    // Released in the destructor in this order: the loop's thread stops, then the connection goes, then the loop.
    std::unique_ptr<pa_threaded_mainloop, MainloopDeleter> m_mainloop;
    std::unique_ptr<pa_context, ContextDeleter> m_context;
    bool m_running = false;
    // Guards what the loop's callbacks and the watch's users share. The main loop's own lock would do, but
    // the thread sanitizer cannot see libpulse's locking (its reports from inside libpulse are suppressed).
    mutable std::mutex m_lock;
    Source m_source;
    bool m_found = false;
    std::function<void()> m_onGone;
    std::atomic<bool> m_gone { false };
};

} // namespace norla
