#pragma once

#include "platform/Result.h"
#include "platform/Url.h"
#include "web/UrlSchemeHandler.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace norla {

// A served recording: the response head and the whole file.
struct RecordingSchemeResponse {
    UrlSchemeResponse response;
    std::vector<std::uint8_t> body;
};

// Serves the page read access to the recordings directory and nothing else, under the "norla-rec"
// scheme: "norla-rec://file" followed by the absolute path as the page's encodeURI wrote it. Every file
// under the directory is served whole as "audio/mp4"; anything else fails with `fileDoesNotExist`.
class RecordingSchemeHandler final : public UrlSchemeHandler {
public:
    // The answer to one request: what a platform's scheme callback hands back. Runs on the calling thread.
    static Result<RecordingSchemeResponse> respond(const Url& requestURL);
    // The same against an explicit recordings directory.
    static Result<RecordingSchemeResponse> respond(const Url& requestURL, const std::filesystem::path& recordingsRoot);

    void startURLSchemeTask(WebView& webView, UrlSchemeTask& task) override;
    void stopURLSchemeTask(WebView& webView, UrlSchemeTask& task) override;
};

} // namespace norla
