#pragma once

#include "platform/Clock.h"
#include "platform/ScreenCapture.h"
#include "recording/PulseRecordStream.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace norla {

// The capture stream on PulseAudio: system audio from the default sink's monitor, delivered as the audio
// output type, and the microphone from the default source, delivered as the microphone type. Each block is
// stamped on one monotonic clock shared by both sources and handed to its output on that output's queue.
// No video exists: screen outputs are accepted and never called. When a source fails while capturing, the
// whole stream stops delivering and the delegate hears it once, on the failing source's reading thread.
class PulseCaptureStream final : public CaptureStream {
public:
    struct Sources {
        // The server to connect to; empty for the user's default server.
        std::string server;
        std::string system = "@DEFAULT_MONITOR@";
        std::string microphone = "@DEFAULT_SOURCE@";
    };

    PulseCaptureStream(StreamConfiguration configuration, std::weak_ptr<StreamDelegate> delegate,
        std::shared_ptr<const Clock> clock, Sources sources);
    ~PulseCaptureStream() override;
    PulseCaptureStream(const PulseCaptureStream&) = delete;
    PulseCaptureStream& operator=(const PulseCaptureStream&) = delete;

    Result<void> addStreamOutput(std::weak_ptr<StreamOutput> output, StreamOutputType type,
        std::shared_ptr<TaskQueue> sampleHandlerQueue) override;
    // Opens the sources the configuration asks for and starts reading; answers on the calling thread.
    void startCapture(CompletionHandler<void(Result<void>)> completion) override;
    // Stops reading and joins the reading threads before answering, on the calling thread.
    void stopCapture(CompletionHandler<void(Result<void>)> completion) override;

private:
    struct Output {
        std::weak_ptr<StreamOutput> output;
        std::shared_ptr<TaskQueue> queue;
    };

    Result<std::unique_ptr<PulseRecordStream>> open(const std::string& device, const char* name) const;
    void run(PulseRecordStream& source, StreamOutputType type);
    void stopSources();

    const StreamConfiguration m_configuration;
    const std::weak_ptr<StreamDelegate> m_delegate;
    const std::shared_ptr<const Clock> m_clock;
    const Sources m_sources;
    std::mutex m_mutex; // guards the outputs and the sources against concurrent calls of the methods
    std::map<StreamOutputType, Output> m_outputs;
    std::unique_ptr<PulseRecordStream> m_system;
    std::unique_ptr<PulseRecordStream> m_microphone;
    bool m_started = false;
    // Set once a source failed: no block is delivered afterwards.
    std::shared_ptr<std::atomic<bool>> m_halted = std::make_shared<std::atomic<bool>>(false);
};

} // namespace norla
