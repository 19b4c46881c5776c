#pragma once

#include "platform/CompletionHandler.h"

#include <future>
#include <utility>

namespace norla {

// Runs an operation that answers through a completion handler and blocks the calling task until it has
// answered. Only for work that already runs off the main thread and off every serial queue whose task
// the completion could need.
template <class T, class Operation> T awaitCompletion(Operation&& operation)
{
    std::promise<T> promise;
    auto future = promise.get_future();
    std::forward<Operation>(operation)(
        CompletionHandler<void(T)>([&promise](T value) mutable { promise.set_value(std::move(value)); }));
    return future.get();
}

} // namespace norla
