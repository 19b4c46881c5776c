#pragma once

#include "platform/ScreenCapture.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <vector>

namespace norla::test {

// A synthetic audio buffer: one value per frame, copied into every channel of the format.
struct FakeSampleBuffer final : SampleBuffer {
    bool valid = true;
    std::optional<AudioFormat> format = AudioFormat { AudioCommonFormat::pcmFloat32, 16000.0, 1, false };
    std::vector<float> samples;
    std::optional<double> presentationTime;
    int copyStatus = 0;

    bool isValid() const override { return valid; }
    std::optional<AudioFormat> formatDescription() const override { return format; }
    std::size_t numSamples() const override { return samples.size(); }
    std::optional<double> outputPresentationTime() const override { return presentationTime; }
    int copyPcmData(AudioPcmBuffer& into, std::size_t frameCount) const override;
};

// What the streams a FakeScreenCapture makes do: fail or hold their start, refuse an output.
struct FakeStreamPlan {
    std::optional<Error> startFailure;
    std::optional<StreamOutputType> refusedOutput;
    bool holdStart = false;
};

class FakeCaptureStream final : public CaptureStream {
public:
    FakeCaptureStream(std::weak_ptr<StreamDelegate> delegate, FakeStreamPlan plan);

    Result<void> addStreamOutput(std::weak_ptr<StreamOutput> output, StreamOutputType type,
        std::shared_ptr<TaskQueue> sampleHandlerQueue) override;
    void startCapture(CompletionHandler<void(Result<void>)> completion) override;
    void stopCapture(CompletionHandler<void(Result<void>)> completion) override;

    // Delivers a buffer to the outputs of `type`, on their queue (synchronously).
    void deliver(const SampleBuffer& buffer, StreamOutputType type);
    // The stream stopping by itself.
    void reportStop(const Error& error);
    // With a held start: waits until startCapture was called, then answers it.
    void waitForStart();
    void answerStart(Result<void> result);
    int stopCount() const;

private:
    struct Output {
        std::weak_ptr<StreamOutput> output;
        StreamOutputType type;
        std::shared_ptr<TaskQueue> queue;
    };
    std::weak_ptr<StreamDelegate> m_delegate;
    const FakeStreamPlan m_plan;
    mutable std::mutex m_mutex;
    std::condition_variable m_startCalled;
    CompletionHandler<void(Result<void>)> m_heldStart;
    std::vector<Output> m_outputs;
    int m_stops = 0;
};

// The platform's screen capture with planned answers; the streams it made stay reachable.
class FakeScreenCapture final : public ScreenCapture {
public:
    void getShareableContent(CompletionHandler<void(Result<ShareableContent>)> completion) override;
    std::shared_ptr<CaptureStream> makeStream(const ContentFilter& filter, const StreamConfiguration& configuration,
        std::weak_ptr<StreamDelegate> delegate) override;

    void setContent(Result<ShareableContent> content);
    // Changes what the streams made from now on do.
    template <class Change> void plan(Change change)
    {
        std::lock_guard lock(m_mutex);
        change(m_plan);
    }
    std::shared_ptr<FakeCaptureStream> lastStream() const;
    // Waits until a stream has been made; returns the latest.
    std::shared_ptr<FakeCaptureStream> waitForStream();

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_streamMade;
    Result<ShareableContent> m_content = ShareableContent { { Display { 7 } } };
    FakeStreamPlan m_plan;
    std::shared_ptr<FakeCaptureStream> m_lastStream;
};

} // namespace norla::test
