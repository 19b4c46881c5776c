#pragma once

#include "platform/AudioFormat.h"
#include "platform/AudioPcmBuffer.h"
#include "platform/CompletionHandler.h"
#include "platform/Error.h"
#include "platform/Result.h"
#include "platform/TaskQueue.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace norla {

// The kinds of output a capture stream delivers (SCStreamOutputType).
enum class StreamOutputType {
    screen,
    audio,
    microphone,
};

struct Display {
    std::uint32_t displayId = 0;
};

// What may be captured (SCShareableContent); only displays matter to the recorder.
struct ShareableContent {
    std::vector<Display> displays;
};

// A display to capture, with no windows left out (SCContentFilter initWithDisplay:excludingWindows:).
struct ContentFilter {
    Display display;
};

// SCStreamConfiguration, as far as the audio capture sets it.
struct StreamConfiguration {
    int width = 0;
    int height = 0;
    bool capturesAudio = false;
    int sampleRate = 0;
    int channelCount = 0;
    bool excludesCurrentProcessAudio = false;
    bool captureMicrophone = false;

    bool operator==(const StreamConfiguration&) const = default;
};

// One delivered buffer of audio (a CMSampleBuffer).
class SampleBuffer {
public:
    virtual ~SampleBuffer() = default;
    virtual bool isValid() const = 0;
    // The PCM format of its samples; none without a format description.
    virtual std::optional<AudioFormat> formatDescription() const = 0;
    virtual std::size_t numSamples() const = 0;
    // The output presentation time in seconds; none when the time is not numeric.
    virtual std::optional<double> outputPresentationTime() const = 0;
    // Copies `frameCount` frames from sample 0 into `into`; 0 on success, else the platform's status.
    virtual int copyPcmData(AudioPcmBuffer& into, std::size_t frameCount) const = 0;
};

// Receives a stream's buffers, on the queue given when it was added (SCStreamOutput).
class StreamOutput {
public:
    virtual ~StreamOutput() = default;
    virtual void didOutputSampleBuffer(const SampleBuffer& buffer, StreamOutputType type) = 0;
};

// Hears that a stream stopped by itself, on a thread of the platform's choosing (SCStreamDelegate).
class StreamDelegate {
public:
    virtual ~StreamDelegate() = default;
    virtual void didStopWithError(const Error& error) = 0;
};

// A screen-capture stream (SCStream). It holds its outputs and delegate weakly.
class CaptureStream {
public:
    virtual ~CaptureStream() = default;
    // Fails with the platform's error when the output is refused.
    virtual Result<void> addStreamOutput(
        std::weak_ptr<StreamOutput> output, StreamOutputType type, std::shared_ptr<TaskQueue> sampleHandlerQueue)
        = 0;
    virtual void startCapture(CompletionHandler<void(Result<void>)> completion) = 0;
    virtual void stopCapture(CompletionHandler<void(Result<void>)> completion) = 0;
};

// The platform's screen capture (SCShareableContent and SCStream). Completions answer once, on any thread.
class ScreenCapture {
public:
    virtual ~ScreenCapture() = default;
    // Fails with the platform's error, typically when screen recording is not permitted.
    virtual void getShareableContent(CompletionHandler<void(Result<ShareableContent>)> completion) = 0;
    virtual std::shared_ptr<CaptureStream> makeStream(
        const ContentFilter& filter, const StreamConfiguration& configuration, std::weak_ptr<StreamDelegate> delegate)
        = 0;
};

} // namespace norla
