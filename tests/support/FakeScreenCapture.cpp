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

FakeCaptureStream::FakeCaptureStream(ContentFilter filter, StreamConfiguration configuration,
    std::weak_ptr<StreamDelegate> delegate, std::optional<Error> startFailure,
    std::optional<StreamOutputType> refusedOutput, bool holdStart)
    : m_filter(filter)
    , m_configuration(configuration)
    , m_delegate(std::move(delegate))
    , m_startFailure(std::move(startFailure))
    , m_refusedOutput(refusedOutput)
    , m_holdStart(holdStart)
{
}

Result<void> FakeCaptureStream::addStreamOutput(
    std::weak_ptr<StreamOutput> output, StreamOutputType type, std::shared_ptr<TaskQueue> sampleHandlerQueue)
{
    std::lock_guard lock(m_mutex);
    if (m_refusedOutput == type)
        return Error::platform("The stream output could not be added.");
    m_outputs.push_back({ std::move(output), type, std::move(sampleHandlerQueue) });
    return {};
}

void FakeCaptureStream::startCapture(CompletionHandler<void(Result<void>)> completion)
{
    std::unique_lock lock(m_mutex);
    if (m_holdStart) {
        m_heldStart = std::move(completion);
        m_startCalled.notify_all();
        return;
    }
    auto failure = m_startFailure;
    lock.unlock();
    if (failure)
        completion(*failure);
    else
        completion(Result<void>());
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
        if (entry.type != type)
            continue;
        if (auto output = entry.output.lock())
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

std::vector<StreamOutputType> FakeCaptureStream::outputTypes() const
{
    std::lock_guard lock(m_mutex);
    std::vector<StreamOutputType> types;
    for (auto& entry : m_outputs)
        types.push_back(entry.type);
    return types;
}

int FakeCaptureStream::stopCount() const
{
    std::lock_guard lock(m_mutex);
    return m_stops;
}

void FakeScreenCapture::getShareableContent(CompletionHandler<void(Result<ShareableContent>)> completion)
{
    auto content = [&] {
        std::lock_guard lock(m_mutex);
        return m_content;
    }();
    completion(std::move(content));
}

std::shared_ptr<CaptureStream> FakeScreenCapture::makeStream(
    const ContentFilter& filter, const StreamConfiguration& configuration, std::weak_ptr<StreamDelegate> delegate)
{
    std::lock_guard lock(m_mutex);
    m_lastStream = std::make_shared<FakeCaptureStream>(
        filter, configuration, std::move(delegate), m_startFailure, m_refusedOutput, m_holdStart);
    ++m_streams;
    m_streamMade.notify_all();
    return m_lastStream;
}

void FakeScreenCapture::setContent(Result<ShareableContent> content)
{
    std::lock_guard lock(m_mutex);
    m_content = std::move(content);
}

void FakeScreenCapture::failStart(std::optional<Error> error)
{
    std::lock_guard lock(m_mutex);
    m_startFailure = std::move(error);
}

void FakeScreenCapture::refuseOutput(std::optional<StreamOutputType> type)
{
    std::lock_guard lock(m_mutex);
    m_refusedOutput = type;
}

void FakeScreenCapture::holdStart(bool hold)
{
    std::lock_guard lock(m_mutex);
    m_holdStart = hold;
}

std::shared_ptr<FakeCaptureStream> FakeScreenCapture::lastStream() const
{
    std::lock_guard lock(m_mutex);
    return m_lastStream;
}

std::shared_ptr<FakeCaptureStream> FakeScreenCapture::waitForStream(int count)
{
    std::unique_lock lock(m_mutex);
    m_streamMade.wait(lock, [&] { return m_streams > count; });
    return m_lastStream;
}

int FakeScreenCapture::streamCount() const
{
    std::lock_guard lock(m_mutex);
    return m_streams;
}

} // namespace norla::test
