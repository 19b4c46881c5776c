#include "TestEnvironment.h"
#include "foundation/GioUrlOpener.h"
#include "foundation/LoggingUrlOpener.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace norla {
namespace {

    Url urlWithText(std::string text)
    {
        Url url;
        url.absoluteString = std::move(text);
        return url;
    }

    class LoggingUrlOpenerTests : public ::testing::Test {
    protected:
        void SetUp() override
        {
            std::string pattern = (std::filesystem::temp_directory_path() / "norla-opener-XXXXXX").string();
            ASSERT_NE(mkdtemp(pattern.data()), nullptr);
            m_dir = pattern;
        }
        void TearDown() override { std::filesystem::remove_all(m_dir); }

        std::string logText() const
        {
            std::ifstream in(m_dir / "opened.log");
            std::stringstream text;
            text << in.rdbuf();
            return text.str();
        }

        test::TestEnvironment m_environment;
        std::filesystem::path m_dir;
    };

    TEST_F(LoggingUrlOpenerTests, RecordsEachUrlAndAnswersOnceLaterOnTheMainThread)
    {
        LoggingUrlOpener opener(m_dir / "opened.log");
        std::vector<bool> answers;
        opener.open(urlWithText("https://example.com/a?b=c"), [&](bool opened) { answers.push_back(opened); });
        opener.open(urlWithText("mailto:someone@example.com"), [&](bool opened) { answers.push_back(opened); });
        EXPECT_TRUE(answers.empty()); // never on the caller's stack
        EXPECT_EQ(m_environment.main().runUntilIdle(), 2u);
        EXPECT_EQ(answers, (std::vector<bool> { true, true }));
        EXPECT_EQ(logText(), "https://example.com/a?b=c\nmailto:someone@example.com\n");
    }

    TEST_F(LoggingUrlOpenerTests, AnUnwritableLogAnswersNotOpened)
    {
        LoggingUrlOpener opener(m_dir / "missing-dir" / "opened.log");
        std::optional<bool> answer;
        opener.open(urlWithText("https://example.com"), [&](bool opened) { answer = opened; });
        m_environment.main().runUntilIdle();
        EXPECT_EQ(answer, false);
        EXPECT_TRUE(m_environment.log().contains("LoggingUrlOpener: cannot write"));
    }

    TEST_F(LoggingUrlOpenerTests, TheEnvironmentVariableChoosesTheLoggingOpener)
    {
        setenv("NORLA_TEST_OPENER_LOG", (m_dir / "opened.log").c_str(), 1);
        auto opener = GioUrlOpener::fromEnvironment();
        EXPECT_NE(dynamic_cast<LoggingUrlOpener*>(opener.get()), nullptr);
        opener->open(urlWithText("tel:+81312345678"), [](bool) {});
        m_environment.main().runUntilIdle();
        EXPECT_EQ(logText(), "tel:+81312345678\n");

        setenv("NORLA_TEST_OPENER_LOG", "", 1);
        EXPECT_NE(dynamic_cast<GioUrlOpener*>(GioUrlOpener::fromEnvironment().get()), nullptr);
        unsetenv("NORLA_TEST_OPENER_LOG");
        EXPECT_NE(dynamic_cast<GioUrlOpener*>(GioUrlOpener::fromEnvironment().get()), nullptr);
    }

} // namespace
} // namespace norla
