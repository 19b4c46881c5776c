#include "recording/RecordingSchemeHandler.h"

#include "app/AppURL.h"
#include "platform/Seams.h"
#include "platform/URLError.h"
#include "recording/RecordingFiles.h"
#include "web/OfficeWebView.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace norla {

namespace {

    Error fileDoesNotExist() { return Error::from(URLError::fileDoesNotExist); }

    // The request's path as the file system sees it. The URL's path arrives percent-encoded once by
    // encodeURI; a file name that itself contains "%" escapes survives that as a second layer, which is
    // removed too. When a layer does not decode, the text before it is used.
    std::optional<std::string> filePath(const Url& url)
    {
        auto parser = seam<UrlParser>();
        auto once = parser->percentDecode(url.path).value_or(url.path);
        auto twice = parser->percentDecode(once).value_or(once);
        if (twice.find('\0') != std::string::npos)
            return std::nullopt;
        return twice;
    }

    std::string withoutTrailingSlashes(std::string path)
    {
        while (path.size() > 1 && path.back() == '/')
            path.pop_back();
        return path;
    }

    bool hasPrefix(const std::filesystem::path& path, const std::string& prefix)
    {
        return path.string().starts_with(prefix);
    }

    Result<std::vector<std::uint8_t>> readWholeFile(const std::filesystem::path& path)
    {
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error))
            return fileDoesNotExist();
        std::ifstream stream(path, std::ios::binary);
        if (!stream)
            return fileDoesNotExist();
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
        if (stream.bad())
            return fileDoesNotExist();
        return bytes;
    }

} // namespace

Result<RecordingSchemeResponse> RecordingSchemeHandler::respond(const Url& requestURL)
{
    return respond(requestURL, RecordingFiles::recordingsDirectory());
}

Result<RecordingSchemeResponse> RecordingSchemeHandler::respond(
    const Url& requestURL, const std::filesystem::path& recordingsRoot)
{
    auto path = filePath(requestURL);
    if (!path || !path->starts_with('/'))
        return fileDoesNotExist();
    auto standardized = std::filesystem::path(*path).lexically_normal();

    auto root = withoutTrailingSlashes(recordingsRoot.lexically_normal().string());
    if (!hasPrefix(standardized, root + "/"))
        return fileDoesNotExist();

    // The lexical check cannot see symbolic links: a link inside the directory may lead anywhere. Serve
    // only what still lies inside the directory once both sides have their links resolved.
    std::error_code error;
    auto resolvedRoot = std::filesystem::canonical(root, error);
    if (error)
        return fileDoesNotExist();
    auto resolved = std::filesystem::canonical(standardized, error);
    if (error || !hasPrefix(resolved, withoutTrailingSlashes(resolvedRoot.string()) + "/"))
        return fileDoesNotExist();

    auto body = readWholeFile(resolved);
    if (!body)
        return body.error();

    RecordingSchemeResponse answer;
    answer.response.url = requestURL;
    answer.response.statusCode = 200;
    answer.response.httpVersion = "HTTP/1.1";
    answer.response.headerFields = {
        { "Content-Type", "audio/mp4" },
        { "Content-Length", std::to_string(body.value().size()) },
        { "Access-Control-Allow-Origin", originString(resolveAppURL()) },
    };
    answer.body = std::move(body).value();
    return answer;
}

void RecordingSchemeHandler::startURLSchemeTask(WebView&, UrlSchemeTask& task)
{
    auto url = task.requestURL();
    if (!url)
        return;
    auto answer = respond(*url);
    if (!answer) {
        task.didFailWithError(answer.error());
        return;
    }
    auto& served = answer.value();
    task.didReceiveResponse(served.response);
    task.didReceiveData(std::move(served.body));
    task.didFinish();
}

void RecordingSchemeHandler::stopURLSchemeTask(WebView&, UrlSchemeTask&) { }

} // namespace norla
