#pragma once

#include "platform/ScreenCapture.h"

#import <ScreenCaptureKit/ScreenCaptureKit.h>

#include <map>
#include <mutex>

NS_ASSUME_NONNULL_BEGIN

namespace norla {

// ScreenCaptureKit: the shareable displays and audio-only streams of system audio and the microphone,
// delivered straight onto the capture's dispatch queue.
class SCScreenCapture final : public ScreenCapture {
public:
    void getShareableContent(CompletionHandler<void(Result<ShareableContent>)> completion) override;
    std::shared_ptr<CaptureStream> makeStream(const ContentFilter& filter, const StreamConfiguration& configuration,
        std::weak_ptr<StreamDelegate> delegate) override;

private:
    // The displays of the last shareable content, by identifier: a filter is made from the display object.
    std::mutex m_mutex;
    std::map<std::uint32_t, SCDisplay*> m_displays;
};

} // namespace norla

NS_ASSUME_NONNULL_END
