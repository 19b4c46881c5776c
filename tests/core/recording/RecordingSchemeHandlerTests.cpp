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

#include <string>
#include <vector>

namespace norla {
namespace {

    namespace fs = std::filesystem;

    // A real directory tree: <base>/recordings holds the served files; everything around it holds
    // "SECRET" so that a response carrying it proves an escape.
    class RecordingSchemeHandlerTest : public ::testing::Test {
    protected:
        void SetUp() override
        {
            Seam<UrlParser>::install(std::make_shared<GUriParser>());
            m_base = m_temporary.path();
            m_root = m_base / "recordings";
            fs::create_directories(m_root / "session-1");
            fs::create_directories(m_base / "recordings-evil");
            fs::create_directories(m_base / "outside");
            test::writeBytes(m_root / "session-1" / "meeting.m4a", "inside");
            test::writeBytes(m_root / "session-1" / "system.f32", "raw");
            test::writeBytes(m_root / "session-1" / "empty.m4a", "");
            test::writeBytes(m_root / "session-1" / "a%b.m4a", "percent");
            test::writeBytes(m_root / "session-1" / "100%.m4a", "hundred");
            test::writeBytes(m_base / "secret.txt", "SECRET");
            test::writeBytes(m_base / "recordings-evil" / "meeting.m4a", "SECRET");
            test::writeBytes(m_base / "outside" / "meeting.m4a", "SECRET");
            fs::create_symlink(m_base / "secret.txt", m_root / "session-1" / "link.m4a");
            fs::create_directory_symlink(m_base / "outside", m_root / "escape");
            fs::create_directory_symlink(m_base, m_root / "parent");
            fs::create_symlink(m_root / "session-1" / "meeting.m4a", m_root / "inner-link.m4a");
        }
        void TearDown() override
        {
            Seam<UrlParser>::install(nullptr);
            Seam<InfoDictionary>::install(nullptr);
        }

        Result<RecordingSchemeResponse> request(const std::string& encodedPath) const
        {
            Url url;
            url.scheme = "norla-rec";
            url.host = "file";
            url.path = encodedPath;
            url.absoluteString = "norla-rec://file" + encodedPath;
            return RecordingSchemeHandler::respond(url, m_root);
        }

        static std::string bodyOf(const Result<RecordingSchemeResponse>& answer)
        {
            auto& body = answer.value().body;
            return std::string(body.begin(), body.end());
        }

        test::TestEnvironment m_environment;
        test::TemporaryDirectory m_temporary;
        fs::path m_base;
        fs::path m_root;
    };

    TEST_F(
        RecordingSchemeHandlerTest, ServesAFileUnderTheRecordingsDirectoryWithTheResponseHeadForTheApplicationsOrigin)
    {
        auto url = parseUrl("norla-rec://file" + (m_root / "session-1" / "meeting.m4a").string());
        ASSERT_TRUE(url);
        auto answer = RecordingSchemeHandler::respond(*url, m_root);
        ASSERT_TRUE(answer) << answer.error().description();
        auto& response = answer.value().response;
        EXPECT_EQ(response.statusCode, 200);
        EXPECT_EQ(response.url, *url);
        EXPECT_EQ(response.headerFields.at("Content-Type"), "audio/mp4");
        EXPECT_EQ(response.headerFields.at("Content-Length"), "6");
        EXPECT_EQ(response.headerFields.at("Access-Control-Allow-Origin"), "https://office.norla.jp");
        EXPECT_EQ(bodyOf(answer), "inside");

        auto info = std::make_shared<test::FakeInfoDictionary>();
        info->values.emplace("NorlaAppURL", Value("http://Localhost:8443/app"));
        Seam<InfoDictionary>::install(info);
        auto configured = RecordingSchemeHandler::respond(*url, m_root).value().response.headerFields;
        EXPECT_EQ(configured.at("Access-Control-Allow-Origin"), "http://Localhost:8443");
    }

    TEST_F(RecordingSchemeHandlerTest, ServesWhatLiesInsideDecodingTheNameTwiceWhereTheSecondDecodingIsValid)
    {
        const std::vector<std::pair<std::string, std::string>> served {
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
            ASSERT_TRUE(answer) << path;
            EXPECT_EQ(bodyOf(answer), body) << path;
            EXPECT_EQ(answer.value().response.headerFields.at("Content-Length"), std::to_string(body.size()));
        }
    }

    TEST_F(RecordingSchemeHandlerTest, ATaskIsAnsweredFromTheApplicationsRecordingsDirectory)
    {
        struct Support final : ApplicationSupport {
            std::filesystem::path base;
            std::filesystem::path directory() const override { return base; }
        };
        auto support = std::make_shared<Support>();
        support->base = m_base;
        Seam<ApplicationSupport>::install(support);
        struct Task final : UrlSchemeTask {
            std::optional<Url> url;
            std::string events;
            std::optional<Url> requestURL() const override { return url; }
            void didReceiveResponse(const UrlSchemeResponse& head) override
            {
                events += std::to_string(head.statusCode) + " ";
            }
            void didReceiveData(std::vector<std::uint8_t> data) override
            {
                events += std::string(data.begin(), data.end());
            }
            void didFinish() override { events += " finished"; }
            void didFailWithError(const Error&) override { events += "failed"; }
        };
        test::FakeWebView view;
        RecordingSchemeHandler handler;
        Task served, missing, none;
        served.url = parseUrl("norla-rec://file" + (m_root / "session-1" / "meeting.m4a").string());
        missing.url = parseUrl("norla-rec://file" + (m_root / "session-1" / "nothing.m4a").string());
        for (auto* task : { &served, &missing, &none })
            handler.startURLSchemeTask(view, *task);
        Seam<ApplicationSupport>::install(nullptr);
        EXPECT_EQ(served.events, "200 inside finished");
        EXPECT_EQ(missing.events, "failed");
        EXPECT_EQ(none.events, "");
    }

    // Builds the hostile corpus: ways to climb out, spelled in every encoding the page could send.
    std::vector<std::string> hostilePaths(const fs::path& base, const fs::path& root)
    {
        const std::vector<std::string> dotDots { "..", "%2e%2e", "%2E%2E", ".%2e", "%2e.", "%252e%252e", "%252E.",
            "%25252e%25252e", "..%00", "..%2500", "..\\", "..%5c", "%2e%2e%5c" };
        const std::vector<std::string> slashes { "/", "%2f", "%252f", "%2F", "\\", "%5c" };
        const std::vector<std::string> targets { "secret.txt", "outside/meeting.m4a", "recordings-evil/meeting.m4a" };
        std::vector<std::string> paths;
        auto rootText = root.string();
        for (auto& dotDot : dotDots) {
            for (auto& slash : slashes) {
                for (auto& target : targets)
                    paths.push_back(rootText + "/" + dotDot + slash + target);
                paths.push_back(rootText + "/session-1/" + dotDot + slash + dotDot + slash + "secret.txt");
            }
        }
        auto baseText = base.string();
        for (auto& extra : std::vector<std::string> {
                 rootText + "/session-1/nothing.m4a",
                 baseText + "/secret.txt",
                 baseText + "/recordings%2fsession-1%2f..%2f..%2fsecret.txt",
                 rootText + "/session-1/link.m4a",
                 rootText + "/escape/meeting.m4a",
                 rootText + "/parent/secret.txt",
                 rootText + "/escape/../recordings-evil/meeting.m4a",
                 rootText + "/%2e/../secret.txt",
                 rootText + "//../secret.txt",
                 rootText + "/session-1/meeting.m4a%00/../../../secret.txt",
                 rootText + "/session-1%00/../../secret.txt",
                 rootText + "%2f..%2fsecret.txt",
                 rootText + "-evil/meeting.m4a",
                 rootText + "%2d%65vil/meeting.m4a",
                 "/etc/passwd",
                 "%2fetc%2fpasswd",
                 "etc/passwd",
                 "",
                 "/",
                 "%",
                 "%zz",
             })
            paths.push_back(extra);
        return paths;
    }

    TEST_F(RecordingSchemeHandlerTest, NothingOutsideTheRecordingsDirectoryNorADirectoryIsEverServed)
    {
        auto corpus = hostilePaths(m_base, m_root);
        ASSERT_GE(corpus.size(), 100u);
        for (auto& path : corpus) {
            auto answer = request(path);
            if (answer)
                EXPECT_NE(bodyOf(answer), "SECRET") << "escaped with " << path;
            else
                EXPECT_TRUE(answer.error().is(URLError::fileDoesNotExist)) << path;
        }
        for (const auto& directory : { m_root.string(), m_root.string() + "/.", m_root.string() + "/session-1/" })
            EXPECT_TRUE(request(directory).error().is(URLError::fileDoesNotExist)) << directory;
    }

} // namespace
} // namespace norla
