#include "recording/RecordingSchemeHandler.h"

#include "FakeInfoDictionary.h"
#include "FakeWebView.h"
#include "TemporaryDirectory.h"
#include "TestEnvironment.h"
#include "TrackFiles.h"
#include "platform/ApplicationSupport.h"
#include "platform/GUriParser.h"
#include "platform/InfoDictionary.h"
#include "platform/Seams.h"
#include "platform/URLError.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace norla {
namespace {

    namespace fs = std::filesystem;

    // A request as the web view hands it over, and what the handler answered.
    struct Task final : UrlSchemeTask {
        std::optional<Url> url;
        std::optional<UrlSchemeResponse> response;
        std::string body;
        bool finished = false;
        std::optional<Error> error;

        std::optional<Url> requestURL() const override { return url; }
        void didReceiveResponse(const UrlSchemeResponse& head) override { response = head; }
        void didReceiveData(std::vector<std::uint8_t> data) override { body.append(data.begin(), data.end()); }
        void didFinish() override { finished = true; }
        void didFailWithError(const Error& failure) override { error = failure; }
    };

    // The application's support directory is a real directory tree: its recordings directory holds the served
    // files; everything around it holds "SECRET" so that a response carrying it proves an escape.
    class RecordingSchemeHandlerTest : public ::testing::Test, public ApplicationSupport {
    protected:
        void SetUp() override
        {
            Seam<UrlParser>::install(std::make_shared<GUriParser>());
            Seam<ApplicationSupport>::install(std::shared_ptr<ApplicationSupport>(this, [](auto*) {}));
            const std::vector<std::pair<std::string, std::string>> files {
                { "recordings/session-1/meeting.m4a", "inside" }, { "recordings/session-1/system.f32", "raw" },
                { "recordings/session-1/empty.m4a", "" }, { "recordings/session-1/a%b.m4a", "percent" },
                { "recordings/session-1/100%.m4a", "hundred" }, { "secret.txt", "SECRET" },
                { "recordings-evil/meeting.m4a", "SECRET" }, { "outside/meeting.m4a", "SECRET" }
            };
            for (const auto& [file, text] : files)
                test::writeBytes(m_base / file, text);
            fs::create_symlink(m_base / "secret.txt", m_root / "session-1" / "link.m4a");
            fs::create_directory_symlink(m_base / "outside", m_root / "escape");
            fs::create_directory_symlink(m_base, m_root / "parent");
            fs::create_symlink(m_root / "session-1" / "meeting.m4a", m_root / "inner-link.m4a");
        }
        void TearDown() override
        {
            Seam<UrlParser>::install(nullptr);
            Seam<ApplicationSupport>::install(nullptr);
            Seam<InfoDictionary>::install(nullptr);
        }
        fs::path directory() const override { return m_base; }

        // The path goes to the handler exactly as given, still percent-encoded.
        Task request(const std::string& encodedPath)
        {
            Task task;
            task.url = Url { "norla-rec", "file", {}, encodedPath, {}, {}, "norla-rec://file" + encodedPath };
            RecordingSchemeHandler().startURLSchemeTask(m_view, task);
            EXPECT_NE(task.finished, task.error.has_value()) << "answered once, one way or the other";
            return task;
        }

        test::TestEnvironment m_environment;
        test::TemporaryDirectory m_temporary;
        test::FakeWebView m_view;
        const fs::path m_base = m_temporary.path();
        const fs::path m_root = m_base / "recordings";
    };

    TEST_F(RecordingSchemeHandlerTest, ServesWhatLiesInsideToTheAppsOriginDecodingTheNameTwiceWhereTheSecondIsValid)
    {
        const std::vector<std::pair<std::string, std::string>> served {
            { "/session-1/meeting.m4a", "inside" },
            { "/session-1/empty.m4a", "" },
            { "/session-1/system.f32", "raw" },
            { "/inner-link.m4a", "inside" }, // a link that stays inside
            // encodeURI("a%b.m4a") once decoded is "a%b.m4a", which is no valid escape: it is kept.
            { "/session-1/a%25b.m4a", "percent" },
            { "/session-1/100%2525.m4a", "hundred" },
            { "/session-1/meeting%2Em4a", "inside" },
        };
        for (const auto& [path, body] : served) {
            auto answer = request(m_root.string() + path);
            ASSERT_TRUE(answer.response) << path;
            EXPECT_EQ(answer.body, body) << path;
            EXPECT_EQ(answer.response->statusCode, 200);
            EXPECT_EQ(answer.response->url, answer.url);
            EXPECT_EQ(answer.response->headerFields,
                (std::map<std::string, std::string> { { "Content-Type", "audio/mp4" },
                    { "Content-Length", std::to_string(body.size()) },
                    { "Access-Control-Allow-Origin", "https://office.norla.jp" } }));
        }

        auto info = std::make_shared<test::FakeInfoDictionary>();
        info->values.emplace("NorlaAppURL", Value("http://Localhost:8443/app"));
        Seam<InfoDictionary>::install(info);
        auto configured = request(m_root.string() + "/session-1/meeting.m4a").response->headerFields;
        EXPECT_EQ(configured.at("Access-Control-Allow-Origin"), "http://Localhost:8443");

        Task none;
        RecordingSchemeHandler().startURLSchemeTask(m_view, none);
        EXPECT_FALSE(none.response || none.error) << "a task without a URL is left alone";
    }

    // Ways to climb out, spelled in every encoding the page could send.
    std::vector<std::string> hostilePaths(const std::string& base, const std::string& root)
    {
        std::vector<std::string> paths { root + "/session-1/nothing.m4a", base + "/secret.txt",
            base + "/recordings%2fsession-1%2f..%2f..%2fsecret.txt", root + "/session-1/link.m4a",
            root + "/escape/meeting.m4a", root + "/parent/secret.txt", root + "/escape/../recordings-evil/meeting.m4a",
            root + "/%2e/../secret.txt", root + "//../secret.txt",
            root + "/session-1/meeting.m4a%00/../../../secret.txt", root + "/session-1%00/../../secret.txt",
            root + "%2f..%2fsecret.txt", root + "-evil/meeting.m4a", root + "%2d%65vil/meeting.m4a", "/etc/passwd",
            "%2fetc%2fpasswd", "etc/passwd", "", "/", "%", "%zz",
            // directories are not served either
            root, root + "/.", root + "/session-1/" };
        for (auto dotDot : { "..", "%2e%2e", "%2E%2E", ".%2e", "%2e.", "%252e%252e", "%252E.", "%25252e%25252e",
                 "..%00", "..%2500", "..\\", "..%5c", "%2e%2e%5c" }) {
            for (std::string slash : { "/", "%2f", "%252f", "%2F", "\\", "%5c" }) {
                for (auto target : { "secret.txt", "outside/meeting.m4a", "recordings-evil/meeting.m4a" })
                    paths.push_back(root + "/" + dotDot + slash + target);
                paths.push_back(root + "/session-1/" + dotDot + slash + dotDot + slash + "secret.txt");
            }
        }
        return paths;
    }

    TEST_F(RecordingSchemeHandlerTest, NothingOutsideTheRecordingsDirectoryNorADirectoryIsEverServed)
    {
        for (const auto& path : hostilePaths(m_base.string(), m_root.string())) {
            auto answer = request(path);
            EXPECT_TRUE(answer.error && answer.error->is(URLError::fileDoesNotExist))
                << path << " served " << answer.body;
        }
    }

} // namespace
} // namespace norla
