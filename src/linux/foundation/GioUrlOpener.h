#pragma once

#include "platform/UrlOpener.h"

#include <memory>

namespace norla {

// Opens URLs with the user's default application for their scheme, through GIO.
class GioUrlOpener final : public UrlOpener {
public:
    // The opener the application installs: a LoggingUrlOpener when `NORLA_TEST_OPENER_LOG` names a
    // file (so that end-to-end runs never start a real browser), otherwise a GioUrlOpener.
    static std::shared_ptr<UrlOpener> fromEnvironment();

    void open(const Url& url, CompletionHandler<void(bool opened)> completion) override;
};

} // namespace norla
