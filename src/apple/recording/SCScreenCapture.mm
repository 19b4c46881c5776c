#include "recording/SCScreenCapture.h"

#include "foundation/DispatchTaskQueue.h"
#include "foundation/FoundationConversions.h"
#include "recording/CMSampleBufferAdapter.h"

#include <memory>

using namespace norla;

namespace {

StreamOutputType toOutputType(SCStreamOutputType type)
{
    switch (type) {
    case SCStreamOutputTypeScreen:
        return StreamOutputType::screen;
    case SCStreamOutputTypeAudio:
        return StreamOutputType::audio;
    case SCStreamOutputTypeMicrophone:
        return StreamOutputType::microphone;
    }
    return StreamOutputType::screen;
}

SCStreamOutputType toPlatform(StreamOutputType type)
{
    switch (type) {
    case StreamOutputType::screen:
        return SCStreamOutputTypeScreen;
    case StreamOutputType::audio:
        return SCStreamOutputTypeAudio;
    case StreamOutputType::microphone:
        return SCStreamOutputTypeMicrophone;
    }
    return SCStreamOutputTypeScreen;
}

Result<void> toResult(NSError* _Nullable error)
{
    if (error)
        return toError(error);
    return {};
}

} // namespace

// Hands each buffer to the core's output (held weakly, as the stream holds its outputs) on the queue it
// arrives on.
@interface NorlaStreamOutput : NSObject <SCStreamOutput>
- (instancetype)initWithOutput:(std::weak_ptr<StreamOutput>)output NS_DESIGNATED_INITIALIZER;
- (instancetype)init NS_UNAVAILABLE;
@end

@implementation NorlaStreamOutput {
    std::weak_ptr<StreamOutput> _output;
}

- (instancetype)initWithOutput:(std::weak_ptr<StreamOutput>)output
{
    if ((self = [super init]))
        _output = std::move(output);
    return self;
}

- (void)stream:(SCStream*)stream didOutputSampleBuffer:(CMSampleBufferRef)sampleBuffer ofType:(SCStreamOutputType)type
{
    if (auto output = _output.lock())
        output->didOutputSampleBuffer(CMSampleBufferAdapter(sampleBuffer), toOutputType(type));
}

@end

// Tells the core's delegate that the stream stopped by itself.
@interface NorlaStreamDelegate : NSObject <SCStreamDelegate>
- (instancetype)initWithDelegate:(std::weak_ptr<StreamDelegate>)delegate NS_DESIGNATED_INITIALIZER;
- (instancetype)init NS_UNAVAILABLE;
@end

@implementation NorlaStreamDelegate {
    std::weak_ptr<StreamDelegate> _delegate;
}

- (instancetype)initWithDelegate:(std::weak_ptr<StreamDelegate>)delegate
{
    if ((self = [super init]))
        _delegate = std::move(delegate);
    return self;
}

- (void)stream:(SCStream*)stream didStopWithError:(NSError*)error
{
    if (auto delegate = _delegate.lock())
        delegate->didStopWithError(toError(error));
}

@end

namespace {

class SCCaptureStream final : public CaptureStream {
public:
    SCCaptureStream(
        SCContentFilter* filter, SCStreamConfiguration* configuration, std::weak_ptr<StreamDelegate> delegate)
        : m_delegate([[NorlaStreamDelegate alloc] initWithDelegate:std::move(delegate)])
        , m_stream([[SCStream alloc] initWithFilter:filter configuration:configuration delegate:m_delegate])
        , m_outputs([NSMutableArray array])
    {
    }

    Result<void> addStreamOutput(std::weak_ptr<StreamOutput> output, StreamOutputType type,
        std::shared_ptr<TaskQueue> sampleHandlerQueue) override
    {
        // Buffers are valid only in their callback: they must arrive on the capture's queue itself.
        auto* queue = dynamic_cast<DispatchTaskQueue*>(sampleHandlerQueue.get());
        if (!queue)
            return Error::platform("The capture queue is not a dispatch queue.");
        NorlaStreamOutput* adapter = [[NorlaStreamOutput alloc] initWithOutput:std::move(output)];
        NSError* error = nil;
        if ([m_stream addStreamOutput:adapter type:toPlatform(type) sampleHandlerQueue:queue->queue() error:&error]
            != YES)
            return toError(error);
        [m_outputs addObject:adapter];
        m_queues.push_back(std::move(sampleHandlerQueue));
        return {};
    }

    void startCapture(CompletionHandler<void(Result<void>)> completion) override
    {
        auto pending = std::make_shared<decltype(completion)>(std::move(completion));
        [m_stream startCaptureWithCompletionHandler:^(NSError* _Nullable error) { (*pending)(toResult(error)); }];
    }

    void stopCapture(CompletionHandler<void(Result<void>)> completion) override
    {
        auto pending = std::make_shared<decltype(completion)>(std::move(completion));
        [m_stream stopCaptureWithCompletionHandler:^(NSError* _Nullable error) { (*pending)(toResult(error)); }];
    }

private:
    NorlaStreamDelegate* m_delegate;
    SCStream* m_stream; // kept strongly: a released stream stops delivering
    NSMutableArray<NorlaStreamOutput*>* m_outputs;
    std::vector<std::shared_ptr<TaskQueue>> m_queues; // the queues the stream delivers on stay alive with it
};

// A stream for a display that the last shareable content did not list: every step fails.
class MissingDisplayStream final : public CaptureStream {
public:
    Result<void> addStreamOutput(std::weak_ptr<StreamOutput>, StreamOutputType, std::shared_ptr<TaskQueue>) override
    {
        return missing();
    }
    void startCapture(CompletionHandler<void(Result<void>)> completion) override { completion(missing()); }
    void stopCapture(CompletionHandler<void(Result<void>)> completion) override { completion(Result<void>()); }

private:
    static Error missing() { return Error::platform("The display to capture is not available."); }
};

} // namespace

namespace norla {

void SCScreenCapture::getShareableContent(CompletionHandler<void(Result<ShareableContent>)> completion)
{
    auto pending = std::make_shared<decltype(completion)>(std::move(completion));
    [SCShareableContent
        getShareableContentWithCompletionHandler:^(SCShareableContent* _Nullable content, NSError* _Nullable error) {
            if (!content) {
                (*pending)(toError(error));
                return;
            }
            ShareableContent shareable;
            {
                std::lock_guard lock(m_mutex);
                m_displays.clear();
                for (SCDisplay* display in content.displays) {
                    m_displays[display.displayID] = display;
                    shareable.displays.push_back({ display.displayID });
                }
            }
            (*pending)(std::move(shareable));
        }];
}

std::shared_ptr<CaptureStream> SCScreenCapture::makeStream(
    const ContentFilter& filter, const StreamConfiguration& configuration, std::weak_ptr<StreamDelegate> delegate)
{
    SCDisplay* display = nil;
    {
        std::lock_guard lock(m_mutex);
        auto found = m_displays.find(filter.display.displayId);
        if (found != m_displays.end())
            display = found->second;
    }
    if (!display)
        return std::make_shared<MissingDisplayStream>();
    SCContentFilter* contentFilter = [[SCContentFilter alloc] initWithDisplay:display excludingWindows:@[]];
    SCStreamConfiguration* streamConfiguration = [[SCStreamConfiguration alloc] init];
    streamConfiguration.width = static_cast<size_t>(configuration.width);
    streamConfiguration.height = static_cast<size_t>(configuration.height);
    // Audio only: the few video frames are never read, so take as few as the stream allows.
    streamConfiguration.minimumFrameInterval = CMTimeMake(1, 1);
    streamConfiguration.capturesAudio = configuration.capturesAudio ? YES : NO;
    streamConfiguration.sampleRate = configuration.sampleRate;
    streamConfiguration.channelCount = configuration.channelCount;
    streamConfiguration.excludesCurrentProcessAudio = configuration.excludesCurrentProcessAudio ? YES : NO;
    streamConfiguration.captureMicrophone = configuration.captureMicrophone ? YES : NO;
    return std::make_shared<SCCaptureStream>(contentFilter, streamConfiguration, std::move(delegate));
}

} // namespace norla
