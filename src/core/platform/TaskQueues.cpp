#include "platform/TaskQueues.h"

#include "platform/Seams.h"
#include "platform/SerialQueue.h"

namespace norla {

std::shared_ptr<TaskQueue> makeSerialQueue(std::string label)
{
    if (auto queues = Seam<TaskQueues>::find())
        return queues->makeSerialQueue(std::move(label));
    return std::make_shared<SerialQueue>(std::move(label));
}

} // namespace norla
