#include "foundation/DispatchBackgroundExecutor.h"

#import <dispatch/dispatch.h>

#include <memory>

namespace norla {

void DispatchBackgroundExecutor::run(UniqueFunction<void()> task)
{
    auto shared = std::make_shared<UniqueFunction<void()>>(std::move(task));
    // Operations may block while they wait for the platform: the global queue grows threads for them.
    dispatch_async(dispatch_get_global_queue(QOS_CLASS_UTILITY, 0), ^{ (*shared)(); });
}

} // namespace norla
