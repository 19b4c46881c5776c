#pragma once

#include "platform/TaskQueue.h"

#include <memory>
#include <string>

namespace norla {

// Makes the serial queues of the recorder, the capture and the desktop shell. Installed through
// Seam<TaskQueues> where the platform has queues of its own (dispatch queues on macOS, so that the screen
// capture delivers straight onto them); without one, the core's own SerialQueue.
class TaskQueues {
public:
    virtual ~TaskQueues() = default;
    virtual std::shared_ptr<TaskQueue> makeSerialQueue(std::string label) = 0;
};

// A serial queue from the installed TaskQueues, else a SerialQueue.
std::shared_ptr<TaskQueue> makeSerialQueue(std::string label);

} // namespace norla
