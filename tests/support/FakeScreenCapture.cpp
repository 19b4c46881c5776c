#include "FakeScreenCapture.h"

#include <algorithm>

namespace norla::test {

int FakeSampleBuffer::copyPcmData(AudioPcmBuffer& into, std::size_t frameCount) const
{
    if (copyStatus != 0)
        return copyStatus;
    auto count = std::min(frameCount, samples.size());
    for (int channel = 0; channel < into.format().channelCount; ++channel)
        std::copy_n(samples.begin(), count, into.floatChannelData(channel).begin());
    return 0;
}

FakeCaptureStream::FakeCaptureStream(std::weak_ptr<StreamDelegate> delegate, FakeStreamPlan plan)
    : m_delegate(std::move(delegate))
    , m_plan(std::move(plan))
{
}

Result<void> FakeCaptureStream::addStreamOutput(
    std::weak_ptr<StreamOutput> output, StreamOutputType type, std::shared_ptr<TaskQueue> sampleHandlerQueue)
{
    if (m_plan.refusedOutput == type)
        return Error::platform("The stream output could not be added.");
    std::lock_guard lock(m_mutex);
    m_outputs.push_back({ std::move(output), type, std::move(sampleHandlerQueue) });
    return {};
}

void FakeCaptureStream::startCapture(CompletionHandler<void(Result<void>)> completion)
{
    if (m_plan.holdStart) {
        std::lock_guard lock(m_mutex);
        m_heldStart = std::move(completion);
        m_startCalled.notify_all();
        return;
    }
    completion(m_plan.startFailure ? Result<void>(*m_plan.startFailure) : Result<void>());
}

void FakeCaptureStream::stopCapture(CompletionHandler<void(Result<void>)> completion)
{
    {
        std::lock_guard lock(m_mutex);
        ++m_stops;
    }
    completion(Error::platform("The stream was already stopped."));
}

void FakeCaptureStream::deliver(const SampleBuffer& buffer, StreamOutputType type)
{
    std::vector<Output> outputs;
    {
        std::lock_guard lock(m_mutex);
        outputs = m_outputs;
    }
    for (auto& entry : outputs) {
        if (auto output = entry.output.lock(); output && entry.type == type)
            entry.queue->sync([&] { output->didOutputSampleBuffer(buffer, type); });
    }
}

void FakeCaptureStream::reportStop(const Error& error)
{
    if (auto delegate = m_delegate.lock())
        delegate->didStopWithError(error);
}

void FakeCaptureStream::waitForStart()
{
    std::unique_lock lock(m_mutex);
    m_startCalled.wait(lock, [&] { return static_cast<bool>(m_heldStart); });
}

void FakeCaptureStream::answerStart(Result<void> result)
{
    CompletionHandler<void(Result<void>)> completion;
    {
        std::lock_guard lock(m_mutex);
        completion = std::move(m_heldStart);
    }
    completion(std::move(result));
}

int FakeCaptureStream::stopCount() const
{
    std::lock_guard lock(m_mutex);
    return m_stops;
}

void FakeScreenCapture::getShareableContent(CompletionHandler<void(Result<ShareableContent>)> completion)
{
    std::unique_lock lock(m_mutex);
    auto content = m_content;
    lock.unlock();
    completion(std::move(content));
}

std::shared_ptr<CaptureStream> FakeScreenCapture::makeStream(
    const ContentFilter&, const StreamConfiguration&, std::weak_ptr<StreamDelegate> delegate)
{
    std::lock_guard lock(m_mutex);
    m_lastStream = std::make_shared<FakeCaptureStream>(std::move(delegate), m_plan);
    m_streamMade.notify_all();
    return m_lastStream;
}

void FakeScreenCapture::setContent(Result<ShareableContent> content)
{
    std::lock_guard lock(m_mutex);
    m_content = std::move(content);
}

std::shared_ptr<FakeCaptureStream> FakeScreenCapture::lastStream() const
{
    std::lock_guard lock(m_mutex);
    return m_lastStream;
}

std::shared_ptr<FakeCaptureStream> FakeScreenCapture::waitForStream()
{
    std::unique_lock lock(m_mutex);
    m_streamMade.wait(lock, [&] { return m_lastStream != nullptr; });
    return m_lastStream;
}

} // namespace norla::test
