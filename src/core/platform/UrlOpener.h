#pragma once

#include "platform/CompletionHandler.h"
#include "platform/Url.h"

namespace norla {

// The system's "open this URL" (`openURL:options:completionHandler:` with empty options): hands the URL
// to the user's default application for its scheme. Called on the main thread; the completion runs
// once, on the main thread, with whether the system opened it.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    virtual void open(const Url& url, CompletionHandler<void(bool opened)> completion) = 0;
};

} // namespace norla
