#pragma once

#include "platform/UrlOpener.h"

namespace norla {

// Opens URLs with the user's default application for their scheme, through GIO.
class GioUrlOpener final : public UrlOpener {
public:
    void open(const Url& url, CompletionHandler<void(bool opened)> completion) override;
};

} // namespace norla
