#include "foundation/MainQueueExecutor.h"

#import <Foundation/Foundation.h>
#import <dispatch/dispatch.h>

#include <memory>

namespace norla {

void MainQueueExecutor::post(UniqueFunction<void()> task)
{
    auto shared = std::make_shared<UniqueFunction<void()>>(std::move(task));
    dispatch_async(dispatch_get_main_queue(), ^{ (*shared)(); });
}

bool MainQueueExecutor::isMainThread() const { return [NSThread isMainThread] == YES; }

} // namespace norla
