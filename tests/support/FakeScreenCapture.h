#pragma once

#include "platform/ScreenCapture.h"

#include <algorithm>
#include <atomic>
#include <functional>
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
    // `count` frames of `value` at `time`, at `rate` frames per second.
    static FakeSampleBuffer of(std::optional<double> time, std::size_t count, float value, double rate = 16000)
    {
        FakeSampleBuffer made;
        made.samples.assign(count, value);
        made.presentationTime = time;
        made.format->sampleRate = rate;
        return made;
    }
    int copyPcmData(AudioPcmBuffer& into, std::size_t frameCount) const override
    {
        for (int channel = 0; copyStatus == 0 && channel < into.format().channelCount; ++channel)
            std::copy_n(samples.begin(), std::min(frameCount, samples.size()), into.floatChannelData(channel).begin());
        return copyStatus;
    }
};

// What the streams a FakeScreenCapture makes do: refuse an output, fail their start, or hand the start's
// completion to the test to answer when it likes.
struct FakeStreamPlan {
    std::optional<StreamOutputType> refusedOutput;
    std::optional<Error> startFailure;
    std::function<void(CompletionHandler<void(Result<void>)>)> holdStart;
};

class FakeCaptureStream final : public CaptureStream {
public:
    FakeCaptureStream(std::weak_ptr<StreamDelegate> streamDelegate, FakeStreamPlan plan)
        : delegate(std::move(streamDelegate))
        , m_plan(std::move(plan))
    {
    }

    Result<void> addStreamOutput(
        std::weak_ptr<StreamOutput> output, StreamOutputType type, std::shared_ptr<TaskQueue> queue) override
    {
        if (m_plan.refusedOutput == type)
            return Error::platform("The stream output could not be added.");
        std::lock_guard lock(m_mutex);
        m_outputs.push_back({ std::move(output), type, std::move(queue) });
        return {};
    }
    void startCapture(CompletionHandler<void(Result<void>)> completion) override
    {
        if (m_plan.holdStart)
            return m_plan.holdStart(std::move(completion));
        completion(m_plan.startFailure ? Result<void>(*m_plan.startFailure) : Result<void>());
    }
    void stopCapture(CompletionHandler<void(Result<void>)> completion) override
    {
        ++m_stops;
        completion(Error::platform("The stream was already stopped."));
    }

    // Delivers a buffer to the outputs of `type`, on their queue (synchronously).
    void deliver(const SampleBuffer& buffer, StreamOutputType type)
    {
        std::unique_lock lock(m_mutex);
        auto outputs = m_outputs;
        lock.unlock();
        for (auto& [weak, outputType, queue] : outputs) {
            if (auto output = weak.lock(); output && outputType == type)
                queue->sync([&] { output->didOutputSampleBuffer(buffer, type); });
        }
    }
    int stopCount() const { return m_stops; }

    const std::weak_ptr<StreamDelegate> delegate; // told when the stream stops by itself

private:
    struct Output {
        std::weak_ptr<StreamOutput> output;
        StreamOutputType type;
        std::shared_ptr<TaskQueue> queue;
    };
    const FakeStreamPlan m_plan;
    std::mutex m_mutex;
    std::vector<Output> m_outputs;
    std::atomic<int> m_stops { 0 };
};

// The platform's screen capture with planned answers; the last stream it made stays reachable.
class FakeScreenCapture final : public ScreenCapture {
public:
    void getShareableContent(CompletionHandler<void(Result<ShareableContent>)> completion) override
    {
        std::unique_lock lock(m_mutex);
        auto content = m_content;
        lock.unlock();
        completion(std::move(content));
    }
    std::shared_ptr<CaptureStream> makeStream(
        const ContentFilter&, const StreamConfiguration&, std::weak_ptr<StreamDelegate> delegate) override
    {
        std::lock_guard lock(m_mutex);
        return m_lastStream = std::make_shared<FakeCaptureStream>(std::move(delegate), m_plan);
    }

    void setContent(Result<ShareableContent> content)
    {
        std::lock_guard lock(m_mutex);
        m_content = std::move(content);
    }
    // Changes what the streams made from now on do.
    template <class Change> void plan(Change change)
    {
        std::lock_guard lock(m_mutex);
        change(m_plan);
    }
    std::shared_ptr<FakeCaptureStream> lastStream() const
    {
        std::lock_guard lock(m_mutex);
        return m_lastStream;
    }

private:
    mutable std::mutex m_mutex;
    Result<ShareableContent> m_content = ShareableContent { { Display { 7 } } };
    FakeStreamPlan m_plan;
    std::shared_ptr<FakeCaptureStream> m_lastStream;
};

} // namespace norla::test
