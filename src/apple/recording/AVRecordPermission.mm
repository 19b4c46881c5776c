#include "recording/AVRecordPermission.h"

#import <AVFoundation/AVFoundation.h>

#include <memory>

namespace norla {

void AVRecordPermission::requestRecordPermission(CompletionHandler<void(bool)> completion)
{
    auto pending = std::make_shared<CompletionHandler<void(bool)>>(std::move(completion));
    [AVAudioApplication requestRecordPermissionWithCompletionHandler:^(BOOL granted) { (*pending)(granted == YES); }];
}

} // namespace norla
