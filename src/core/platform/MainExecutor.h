#pragma once

#include "platform/UniqueFunction.h"

namespace norla {

// The main thread: the platform's main loop (GLib on Linux, the main run loop on macOS). Everything
// that belongs to the user interface, the coordinators, the bridge and the desktop controllers is
// posted here. Tasks run in the order they were posted.
class MainExecutor {
public:
    virtual ~MainExecutor() = default;
    virtual void post(UniqueFunction<void()> task) = 0;
    virtual bool isMainThread() const = 0;
};

// Posts to the installed main executor.
void postToMain(UniqueFunction<void()> task);

} // namespace norla
