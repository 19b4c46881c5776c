#include "web/BootstrapScripts.h"

#include <gtest/gtest.h>

#include <string>

// The scripts' behaviour in a page is tested in JavaScript (tests/js), on the scripts the core fills in.
namespace norla::test {
namespace {

    bool contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

    TEST(BootstrapScriptsTest, AnOriginThatLooksLikeATokenIsNotFilledInAgain)
    {
        const std::string script = recorderBootstrapScript("@@NORLA_PLATFORM@@");
        EXPECT_TRUE(contains(script, R"("@@NORLA_PLATFORM@@")"));
        EXPECT_TRUE(contains(script, R"(platform: "mac")"));
    }

} // namespace
} // namespace norla::test
