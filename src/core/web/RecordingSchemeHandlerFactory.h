#pragma once

#include "web/UrlSchemeHandler.h"

#include <memory>
#include <string_view>

namespace norla {

// The URL scheme under which the page reads finished recordings.
inline constexpr std::string_view recordingURLScheme = "norla-rec";

// Makes the handler that serves recordings (`RecordingSchemeHandler`) for each web view built. Installed
// through Seam<RecordingSchemeHandlerFactory>; without one the scheme is not registered.
class RecordingSchemeHandlerFactory {
public:
    virtual ~RecordingSchemeHandlerFactory() = default;
    virtual std::shared_ptr<UrlSchemeHandler> makeHandler() = 0;
};

} // namespace norla
